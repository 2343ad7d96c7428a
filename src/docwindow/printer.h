#pragma once

#include <QImage>
#include <QString>

namespace lumivex::docwindow {

/// The printer the stereo picture goes to, behind an interface so that tests can record what
/// would have been printed.
class Printer
{
public:
    virtual ~Printer() = default;
    /// Prints the picture on the default printer at the size it has on the screen, given the
    /// screen's dots per inch. jobName names the print job. Returns false when nothing was
    /// printed, with a reason for the user in *error.
    virtual bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY,
                              const QString &jobName, QString *error) = 0;
};

/// The system's default printer through Qt Print Support.
class QtPrinter : public Printer
{
public:
    bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY, const QString &jobName,
                      QString *error) override;
};

} // namespace lumivex::docwindow

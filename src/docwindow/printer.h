#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

class QPrinter;
class QWidget;

namespace lumivex::docwindow {

/// What became of a print: the printer it went to and how many pages, or why nothing was printed.
struct PrintReport
{
    QString printer;
    int pages = 0;
    QString error;  ///< a reason for the user when nothing was printed
};

/// The printer the stereo picture goes to, behind an interface so that tests can record what
/// would have been printed.
class Printer
{
public:
    virtual ~Printer() = default;
    /// Prints the picture on one page of the default printer at the size it has on the screen,
    /// given the screen's dots per inch, or smaller to fit the page (printedArea). jobName names
    /// the print job. Returns false when nothing was printed; *report says where it went or why not.
    virtual bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY,
                              const QString &jobName, PrintReport *report) = 0;
    /// The system's print dialog for printer (its name, paper and orientation); false when the
    /// user cancels it, and the printer is then as it was.
    virtual bool choosePrinter(QPrinter &printer, QWidget *parent) = 0;
};

/// The system's default printer through Qt Print Support.
class QtPrinter : public Printer
{
public:
    bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY, const QString &jobName,
                      PrintReport *report) override;
    bool choosePrinter(QPrinter &printer, QWidget *parent) override;
};

/// Where a picture goes on the page, in printer dots from the printable area's top left: the
/// size it has on the screen (one screen pixel becomes printer dpi / screen dpi dots), or, when
/// that is larger than the printable area, the largest size of the same proportions that fits
/// it. A screen resolution that is not positive is taken as 96 dots per inch.
QRectF printedArea(QSize picture, QSizeF screenDpi, QSizeF printerDpi, QSizeF printable);

} // namespace lumivex::docwindow

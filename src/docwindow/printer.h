#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace lumivex::prompts {
class Prompts;
}

namespace lumivex::docwindow {

/// What became of a print: the printer it went to and how many pages, or why nothing was printed.
struct PrintReport
{
    QString printer;
    int pages = 0;
    QString error;  ///< a reason for the user when nothing was printed
};

/// The printers the stereo picture goes to, behind an interface so that tests can record what
/// would have been printed.
class Printer
{
public:
    virtual ~Printer() = default;
    /// The system's printers, the default first; empty when none is set up.
    virtual QStringList printerNames() = 0;
    /// Prints the picture at the size it has on the screen, given the screen's dots per inch, on
    /// the default printer, or into the PDF file pdfFile when that is not empty: on as many
    /// pages as the print preview's 画面の大きさ takes, the paper turned to take the fewest.
    /// jobName names the print job. Returns false when nothing was printed; *report says where
    /// it went or why not.
    virtual bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY, const QString &jobName,
                              const QString &pdfFile, PrintReport *report) = 0;
    /// The system's print dialog for printer (its name, paper and orientation); false when the
    /// user cancels it, and the printer is then as it was.
    virtual bool choosePrinter(QPrinter &printer, QWidget *parent) = 0;
};

/// The system's printers through Qt Print Support, and its own PDF output.
class QtPrinter : public Printer
{
public:
    QStringList printerNames() override;
    bool printPicture(const QImage &picture, double screenDpiX, double screenDpiY, const QString &jobName,
                      const QString &pdfFile, PrintReport *report) override;
    bool choosePrinter(QPrinter &printer, QWidget *parent) override;
};

/// Asks for the name of a PDF file to print into, starting in the user's home folder with the
/// job's name; empty when the user cancels.
QString askPdfFile(prompts::Prompts &prompts, QWidget *parent, const QString &jobName);

} // namespace lumivex::docwindow

#include "printer.h"

#include "printjob.h"

#include "prompts/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace lumivex::docwindow {

QStringList QtPrinter::printerNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    const QString standard = QPrinterInfo::defaultPrinterName();
    if (names.removeAll(standard) > 0)
        names.prepend(standard);
    return names;
}

bool QtPrinter::printPicture(const QImage &picture, double screenDpiX, double screenDpiY, const QString &jobName,
                             const QString &pdfFile, PrintReport *report)
{
    QPrinter printer(QPrinter::HighResolution);
    // At the screen's size, as 画面の大きさ of the print preview prints it.
    PrintJob job{picture, 0, QSizeF(screenDpiX, screenDpiY), {PrintSize::Screen, 0}};
    if (pdfFile.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull() && !picture.isNull()) {
            if (report)
                report->error = QCoreApplication::translate("Printer", "プリンタが設定されていません。");
            return false;
        }
        printer.setPrinterName(info.printerName());
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
    }
    printer.setDocName(jobName);
    printer.setColorMode(QPrinter::Color);
    printer.setFullPage(false);
    turnForFewestPages(printer, job);
    return printJob(printer, job, report);
}

bool QtPrinter::choosePrinter(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    // Only the printer, its paper and orientation are asked; the preview chooses the rest.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    return dialog.exec() == QDialog::Accepted;
}

QString askPdfFile(prompts::Prompts &prompts, QWidget *parent, const QString &jobName)
{
    prompts::FileRequest request;
    request.title = QCoreApplication::translate("Printer", "PDF ファイルに印刷");
    request.folder = QDir::homePath();
    request.fileName = jobName + QStringLiteral(".pdf");
    request.filter = QCoreApplication::translate("Printer", "PDF ファイル (*.pdf)");
    request.save = true;
    request.overwritePrompt = true;
    return prompts.askFile(parent, request);
}

} // namespace lumivex::docwindow

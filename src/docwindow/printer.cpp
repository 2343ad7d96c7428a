#include "printer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace lumivex::docwindow {

namespace {

bool fail(PrintReport *report, const char *reason)
{
    if (report)
        report->error = QCoreApplication::translate("Printer", reason);
    return false;
}

} // namespace

QRectF printedArea(QSize picture, QSizeF screenDpi, QSizeF printerDpi, QSizeF printable)
{
    const double dpiX = screenDpi.width() > 0 ? screenDpi.width() : 96.0;
    const double dpiY = screenDpi.height() > 0 ? screenDpi.height() : 96.0;
    QSizeF size(picture.width() * printerDpi.width() / dpiX, picture.height() * printerDpi.height() / dpiY);
    // A picture cut at the page's edge loses the part that makes it fuse; a smaller whole one
    // still shows its depth, only shallower.
    if (size.width() > printable.width() || size.height() > printable.height()) {
        const double scale = std::min(printable.width() / size.width(), printable.height() / size.height());
        size = QSizeF(size.width() * scale, size.height() * scale);
    }
    return {QPointF(0, 0), size};
}

bool QtPrinter::printPicture(const QImage &picture, double screenDpiX, double screenDpiY,
                             const QString &jobName, PrintReport *report)
{
    if (picture.isNull())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "印刷する画像がありません。"));
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "プリンタが設定されていません。"));

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobName);
    printer.setColorMode(QPrinter::Color);
    if (!printer.isValid())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "プリンタを使用できません。"));

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(report, QT_TRANSLATE_NOOP("Printer", "プリンタを使用できません。"));
    // The painter's origin is the printable area's top left.
    const QRectF target = printedArea(picture.size(), {screenDpiX, screenDpiY},
                                      QSizeF(printer.logicalDpiX(), printer.logicalDpiY()),
                                      printer.pageRect(QPrinter::DevicePixel).size());
    painter.drawImage(target, picture);
    if (!painter.end())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "印刷中にエラーが発生しました。"));
    if (printer.printerState() == QPrinter::Error)
        return fail(report, QT_TRANSLATE_NOOP("Printer", "印刷中にエラーが発生しました。"));
    if (report) {
        report->printer = info.printerName();
        report->pages = 1;
    }
    return true;
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

} // namespace lumivex::docwindow

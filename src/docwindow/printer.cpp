#include "printer.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace lumivex::docwindow {

namespace {

bool fail(QString *error, const char *reason)
{
    if (error)
        *error = QCoreApplication::translate("Printer", reason);
    return false;
}

} // namespace

bool QtPrinter::printPicture(const QImage &picture, double screenDpiX, double screenDpiY,
                             const QString &jobName, QString *error)
{
    if (picture.isNull())
        return fail(error, QT_TRANSLATE_NOOP("Printer", "印刷する画像がありません。"));
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return fail(error, QT_TRANSLATE_NOOP("Printer", "プリンタが設定されていません。"));

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobName);
    printer.setColorMode(QPrinter::Color);
    if (!printer.isValid())
        return fail(error, QT_TRANSLATE_NOOP("Printer", "プリンタを使用できません。"));

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(error, QT_TRANSLATE_NOOP("Printer", "プリンタを使用できません。"));
    // The picture keeps its size on the screen: one screen pixel becomes
    // printer resolution / screen resolution printer dots. What does not fit the page is cut
    // off, as on a screen; a shrunken stereogram would no longer fuse at its intended depth.
    const double dpiX = screenDpiX > 0 ? screenDpiX : 96.0;
    const double dpiY = screenDpiY > 0 ? screenDpiY : 96.0;
    const QRectF target(0, 0, picture.width() * printer.logicalDpiX() / dpiX,
                        picture.height() * printer.logicalDpiY() / dpiY);
    painter.drawImage(target, picture);
    if (!painter.end())
        return fail(error, QT_TRANSLATE_NOOP("Printer", "印刷中にエラーが発生しました。"));
    if (printer.printerState() == QPrinter::Error)
        return fail(error, QT_TRANSLATE_NOOP("Printer", "印刷中にエラーが発生しました。"));
    return true;
}

} // namespace lumivex::docwindow

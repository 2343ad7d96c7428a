#include "printjob.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPrinter>

namespace lumivex::docwindow {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMarkGapMm = 1.0;     // between a cut mark and the picture
constexpr double kMarkLengthMm = 3.5;  // fits the poster's margin with the gap
constexpr double kMarkWidthMm = 0.2;

bool fail(PrintReport *report, const char *reason)
{
    if (report)
        report->error = QCoreApplication::translate("Printer", reason);
    return false;
}

/// Where the job went: the printer's name, or the file a PDF printer writes.
QString destination(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QDir::toNativeSeparators(printer.outputFileName());
    return printer.printerName();
}

} // namespace

PrintLayout layoutOn(const QPrinter &printer, const PrintJob &job)
{
    const QSizeF printable = printer.pageLayout().paintRect(QPageLayout::Millimeter).size();
    return layoutPrint(job.picture.size(), job.kurikaesi, job.screenDpi, printable, job.choice);
}

bool paintPages(QPainter &painter, QPrinter &printer, const PrintJob &job)
{
    const PrintLayout layout = layoutOn(printer, job);
    // The painter's origin is the printable area's top left, its unit a printer dot.
    const double dotsX = printer.logicalDpiX() / kMmPerInch;
    const double dotsY = printer.logicalDpiY() / kMmPerInch;
    const auto dots = [dotsX, dotsY](QRectF mm) {
        return QRectF(mm.x() * dotsX, mm.y() * dotsY, mm.width() * dotsX, mm.height() * dotsY);
    };
    const auto line = [&painter, dotsX, dotsY](double x1, double y1, double x2, double y2) {
        painter.drawLine(QPointF(x1 * dotsX, y1 * dotsY), QPointF(x2 * dotsX, y2 * dotsY));
    };
    painter.setPen(QPen(Qt::black, kMarkWidthMm * dotsX));
    for (qsizetype i = 0; i < layout.pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        const PrintPage &page = layout.pages.at(i);
        painter.drawImage(dots(page.target), job.picture, page.source);
        // Cut marks in the margin, where the page is cut to meet its neighbour.
        const QRectF t = page.target;
        const double near = kMarkGapMm;
        const double far = kMarkGapMm + kMarkLengthMm;
        for (const double x : page.cutsX) {
            line(x, t.top() - far, x, t.top() - near);
            line(x, t.bottom() + near, x, t.bottom() + far);
        }
        for (const double y : page.cutsY) {
            line(t.left() - far, y, t.left() - near, y);
            line(t.right() + near, y, t.right() + far, y);
        }
    }
    return true;
}

bool printJob(QPrinter &printer, const PrintJob &job, PrintReport *report)
{
    if (job.picture.isNull())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "印刷する画像がありません。"));
    if (printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName().isEmpty()
                                                      : printer.printerName().isEmpty())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "プリンタが設定されていません。"));
    if (!printer.isValid())
        return fail(report, QT_TRANSLATE_NOOP("Printer", "プリンタを使用できません。"));
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer))
        return fail(report, QT_TRANSLATE_NOOP("Printer", "プリンタを使用できません。"));
    const bool painted = paintPages(painter, printer, job);
    if (!painter.end() || !painted || printer.printerState() == QPrinter::Error)
        return fail(report, QT_TRANSLATE_NOOP("Printer", "印刷中にエラーが発生しました。"));
    if (report) {
        report->printer = destination(printer);
        report->pages = int(layoutOn(printer, job).pages.size());
    }
    return true;
}

} // namespace lumivex::docwindow

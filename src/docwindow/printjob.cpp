#include "printjob.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QtMath>

#include <algorithm>

namespace lumivex::docwindow {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kMarkGapMm = 1.0;     // between a cut mark and the picture
constexpr double kMarkLengthMm = 3.5;  // fits the poster's margin with the gap
constexpr double kMarkWidthMm = 0.2;
constexpr double kNumberMm = 3.0;       // the height of a poster page's number
constexpr double kNumberWidthMm = 12.0; // room for it along the top margin

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

/// Paints page `index` of the layout through a painter whose origin is the printable area's top
/// left, at dotsPerMm: its part of the picture, the cut marks in the margin where it is cut to
/// meet its neighbours, and on a poster its number in the top left corner.
void paintPage(QPainter &painter, const PrintJob &job, const PrintLayout &layout, int index, QSizeF dotsPerMm)
{
    const double dotsX = dotsPerMm.width();
    const double dotsY = dotsPerMm.height();
    const auto dots = [dotsX, dotsY](QRectF mm) {
        return QRectF(mm.x() * dotsX, mm.y() * dotsY, mm.width() * dotsX, mm.height() * dotsY);
    };
    const auto line = [&painter, dotsX, dotsY](double x1, double y1, double x2, double y2) {
        painter.drawLine(QPointF(x1 * dotsX, y1 * dotsY), QPointF(x2 * dotsX, y2 * dotsY));
    };
    const PrintPage &page = layout.pages.at(index);
    painter.drawImage(dots(page.target), job.picture, page.source);
    painter.setPen(QPen(Qt::black, kMarkWidthMm * dotsX));
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
    if (layout.pages.size() < 2)
        return;
    // The number in the corner the marks leave free, as the preview shows the pages arranged.
    QFont font = painter.font();
    font.setPixelSize(qMax(1, qRound(kNumberMm * dotsY)));
    painter.setFont(font);
    painter.drawText(dots(QRectF(0, 0, t.left() + kNumberWidthMm, t.top() - kMarkGapMm)), Qt::AlignLeft | Qt::AlignBottom,
                     QString::number(index + 1));
}

} // namespace

PrintLayout layoutOn(const QPrinter &printer, const PrintJob &job)
{
    const QSizeF printable = printer.pageLayout().paintRect(QPageLayout::Millimeter).size();
    return layoutPrint(job.picture.size(), job.kurikaesi, job.screenDpi, printable, job.choice);
}

void turnForFewestPages(QPrinter &printer, const PrintJob &job)
{
    printer.setPageOrientation(
        fewestPagesOrientation(job.picture.size(), job.kurikaesi, job.screenDpi, printer.pageLayout(), job.choice));
}

bool paintPages(QPainter &painter, QPrinter &printer, const PrintJob &job)
{
    const PrintLayout layout = layoutOn(printer, job);
    const QSizeF dotsPerMm(printer.logicalDpiX() / kMmPerInch, printer.logicalDpiY() / kMmPerInch);
    for (qsizetype i = 0; i < layout.pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        paintPage(painter, job, layout, int(i), dotsPerMm);
    }
    return true;
}

QImage posterSheet(const PrintJob &job, const PrintLayout &layout, const QPageLayout &paper, double pxPerMm)
{
    constexpr double kGapMm = 6.0;
    const QSizeF paperMm = paper.fullRect(QPageLayout::Millimeter).size();
    const QPointF printableMm = paper.paintRect(QPageLayout::Millimeter).topLeft();
    const QSizeF cell(paperMm.width() + kGapMm, paperMm.height() + kGapMm);
    QImage sheet(qCeil((layout.columns * cell.width() + kGapMm) * pxPerMm),
                 qCeil((layout.rows * cell.height() + kGapMm) * pxPerMm), QImage::Format_RGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (qsizetype i = 0; i < layout.pages.size(); ++i) {
        const int column = int(i % layout.columns);
        const int row = int(i / layout.columns);
        const QPointF corner((kGapMm + column * cell.width()) * pxPerMm, (kGapMm + row * cell.height()) * pxPerMm);
        painter.fillRect(QRectF(corner, paperMm * pxPerMm), Qt::white);
        painter.save();
        painter.translate(corner + printableMm * pxPerMm);
        paintPage(painter, job, layout, int(i), QSizeF(pxPerMm, pxPerMm));
        painter.restore();
        // The number large enough to read at the sheet's scale, on the page's middle.
        const QRectF page(corner, paperMm * pxPerMm);
        QFont font = painter.font();
        font.setPixelSize(std::max(8, int(std::min(page.width(), page.height()) / 4)));
        font.setBold(true);
        painter.setFont(font);
        const QString number = QString::number(i + 1);
        const QRectF box = painter.fontMetrics().boundingRect(number).toRectF().adjusted(-6, -2, 6, 2);
        const QRectF label(page.center() - QPointF(box.width() / 2, box.height() / 2), box.size());
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 220));
        painter.drawRoundedRect(label, 4, 4);
        painter.setPen(QColor(0, 70, 160));
        painter.drawText(label, Qt::AlignCenter, number);
    }
    return sheet;
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

#include "printlayout.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace lumivex::docwindow {

namespace {

constexpr double kMmPerInch = 25.4;

/// One page's stretch of the picture along one axis, in mm of the printed picture, and the cut
/// lines at its ends where a neighbour follows.
struct Stretch
{
    double start = 0;
    double length = 0;
    bool cutBefore = false;
    bool cutAfter = false;
};

/// The stretches of a picture `total` mm long on pages that take `usable` mm: one when it fits,
/// else pages that move on by usable − overlap, so that neighbours share the overlap.
QList<Stretch> stretches(double total, double usable)
{
    constexpr double kSlack = 1e-6;  // a picture that fits exactly is one page
    if (total <= usable + kSlack)
        return {{0, total, false, false}};
    const double step = usable - kPosterOverlapMm;
    const int count = int(std::ceil((total - kPosterOverlapMm) / step - kSlack));
    QList<Stretch> result;
    for (int i = 0; i < count; ++i) {
        const double start = i * step;
        result.append({start, std::min(usable, total - start), i > 0, i + 1 < count});
    }
    return result;
}

} // namespace

PrintLayout layoutPrint(QSize picture, int kurikaesi, QSizeF screenDpi, QSizeF printableMm, const PrintChoice &choice)
{
    PrintLayout layout;
    if (picture.isEmpty() || printableMm.isEmpty())
        return layout;
    const double dpiX = screenDpi.width() > 0 ? screenDpi.width() : 96.0;
    const double dpiY = screenDpi.height() > 0 ? screenDpi.height() : 96.0;
    // Millimetres per picture pixel across and down.
    double mmX = kMmPerInch / dpiX;
    double mmY = kMmPerInch / dpiY;
    if (choice.size == PrintSize::RepeatMm && kurikaesi > 0 && choice.repeatMm > 0) {
        mmY *= choice.repeatMm / kurikaesi / mmX;  // the screen's proportions kept
        mmX = choice.repeatMm / kurikaesi;
    }
    // A page too small to hold the overlap and the marks takes the picture whole.
    const QSizeF usable(printableMm.width() - 2 * kPosterMarginMm, printableMm.height() - 2 * kPosterMarginMm);
    const bool posterPossible = usable.width() > 2 * kPosterOverlapMm && usable.height() > 2 * kPosterOverlapMm;
    const bool fits = picture.width() * mmX <= printableMm.width() && picture.height() * mmY <= printableMm.height();
    if (choice.size == PrintSize::FitPage || (!fits && !posterPossible)) {
        const double scale = std::min(printableMm.width() / (picture.width() * mmX),
                                      printableMm.height() / (picture.height() * mmY));
        mmX *= scale;
        mmY *= scale;
    }
    layout.pictureMm = QSizeF(picture.width() * mmX, picture.height() * mmY);
    layout.repeatMm = kurikaesi > 0 ? kurikaesi * mmX : 0;

    constexpr double kSlack = 1e-6;
    if (layout.pictureMm.width() <= printableMm.width() + kSlack
        && layout.pictureMm.height() <= printableMm.height() + kSlack) {
        const QPointF corner((printableMm.width() - layout.pictureMm.width()) / 2,
                             (printableMm.height() - layout.pictureMm.height()) / 2);
        layout.pages.append({QRectF(QPointF(0, 0), QSizeF(picture)), QRectF(corner, layout.pictureMm), {}, {}});
        return layout;
    }

    // A poster: every page keeps a margin for its cut marks, halfway into each overlap.
    const QList<Stretch> across = stretches(layout.pictureMm.width(), usable.width());
    const QList<Stretch> down = stretches(layout.pictureMm.height(), usable.height());
    layout.columns = int(across.size());
    layout.rows = int(down.size());
    const auto placed = [](const Stretch &s, double room) {
        return kPosterMarginMm + (s.cutBefore || s.cutAfter ? 0.0 : (room - s.length) / 2);
    };
    for (const Stretch &row : down) {
        for (const Stretch &column : across) {
            PrintPage page;
            page.target = QRectF(placed(column, usable.width()), placed(row, usable.height()), column.length, row.length);
            page.source = QRectF(column.start / mmX, row.start / mmY, column.length / mmX, row.length / mmY);
            const double half = kPosterOverlapMm / 2;
            if (column.cutBefore)
                page.cutsX.append(page.target.left() + half);
            if (column.cutAfter)
                page.cutsX.append(page.target.right() - half);
            if (row.cutBefore)
                page.cutsY.append(page.target.top() + half);
            if (row.cutAfter)
                page.cutsY.append(page.target.bottom() - half);
            layout.pages.append(page);
        }
    }
    return layout;
}

QSizeF printableMm(QPageLayout page, QPageLayout::Orientation orientation)
{
    page.setOrientation(orientation);
    return page.paintRect(QPageLayout::Millimeter).size();
}

QPageLayout::Orientation fewestPagesOrientation(QSize picture, int kurikaesi, QSizeF screenDpi, const QPageLayout &page,
                                                const PrintChoice &choice)
{
    using O = QPageLayout::Orientation;
    const PrintLayout portrait = layoutPrint(picture, kurikaesi, screenDpi, printableMm(page, O::Portrait), choice);
    const PrintLayout landscape = layoutPrint(picture, kurikaesi, screenDpi, printableMm(page, O::Landscape), choice);
    if (portrait.pages.size() != landscape.pages.size())
        return portrait.pages.size() < landscape.pages.size() ? O::Portrait : O::Landscape;
    constexpr double kSlack = 1e-6;
    const double portraitArea = portrait.pictureMm.width() * portrait.pictureMm.height();
    const double landscapeArea = landscape.pictureMm.width() * landscape.pictureMm.height();
    if (std::abs(portraitArea - landscapeArea) > kSlack * std::max(portraitArea, landscapeArea))
        return portraitArea > landscapeArea ? O::Portrait : O::Landscape;
    return portrait.pictureMm.width() > portrait.pictureMm.height() ? O::Landscape : O::Portrait;
}

QString repeatWarning(double repeatMm)
{
    // The scale's rounding may leave a chosen 60 mm a hair over 60: no warning for that.
    constexpr double kSlack = 1e-6;
    if (repeatMm > kFreeViewMostMm + kSlack)
        return QCoreApplication::translate("Printer", "繰返幅が %1 mm です。%2 mm を超えると裸眼では立体に見えません。")
            .arg(repeatMm, 0, 'f', 1)
            .arg(kFreeViewMostMm);
    if (repeatMm > 0 && repeatMm < kFreeViewLeastMm - kSlack)
        return QCoreApplication::translate("Printer", "繰返幅が %1 mm です。%2 mm 未満では細かすぎて立体に見えにくくなります。")
            .arg(repeatMm, 0, 'f', 1)
            .arg(kFreeViewLeastMm);
    return {};
}

} // namespace lumivex::docwindow

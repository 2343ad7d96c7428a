#pragma once

#include <QList>
#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace lumivex::docwindow {

/// How large the print preview prints the stereo picture.
enum class PrintSize {
    Screen,    ///< 画面の大きさ: one pixel as large as on the screen
    FitPage,   ///< 用紙に合わせる: the largest that fits the page, centred
    RepeatMm,  ///< 繰返幅 N mm: one repeat width measures N millimetres on paper
};

/// The choices of the print preview that decide where the picture goes.
struct PrintChoice
{
    PrintSize size = PrintSize::RepeatMm;
    double repeatMm = 30.0;
};

/// Neighbouring pages of a poster print this much of the picture twice.
constexpr double kPosterOverlapMm = 10.0;
/// A poster page keeps this band free inside its printable area for the cut marks.
constexpr double kPosterMarginMm = 5.0;
/// Repeat widths outside this range are hard or impossible to see in depth on paper.
constexpr double kFreeViewLeastMm = 15.0;
constexpr double kFreeViewMostMm = 60.0;

/// One page of a print: the part of the picture it shows and where, in millimetres from the
/// printable area's top left, and the lines along which the page is cut to meet its neighbours
/// (none on a print of one page).
struct PrintPage
{
    QRectF source;  ///< in picture pixels
    QRectF target;  ///< on the page, mm
    QList<double> cutsX;  ///< x of the vertical cut lines on the page, mm
    QList<double> cutsY;  ///< y of the horizontal cut lines on the page, mm
};

/// Where a picture goes on paper.
struct PrintLayout
{
    QSizeF pictureMm;    ///< the whole picture on paper
    double repeatMm = 0; ///< one repeat width on paper; 0 without a repeat width
    int columns = 1;
    int rows = 1;
    QList<PrintPage> pages;  ///< row by row
};

/// The layout of a picture (with a repeat width of kurikaesi pixels, shown at screenDpi) on pages
/// whose printable area is printableMm. A picture larger than one page at the chosen size goes
/// across several (a poster) whose neighbours overlap by kPosterOverlapMm, cut in the middle of
/// the overlap; one that fits is centred. A 繰返幅 choice without a repeat width (0) prints at the
/// screen's size; a screen resolution that is not positive is taken as 96 dots per inch.
PrintLayout layoutPrint(QSize picture, int kurikaesi, QSizeF screenDpi, QSizeF printableMm, const PrintChoice &choice);

/// The printable area of a page set up as `page` turned to `orientation`, in mm.
QSizeF printableMm(QPageLayout page, QPageLayout::Orientation orientation);

/// The orientation in which the picture takes the fewest pages of `page`'s paper; of two that
/// take as many, the one that prints it larger (用紙に合わせる), then the one of the picture's
/// own shape on paper (a wide picture on landscape).
QPageLayout::Orientation fewestPagesOrientation(QSize picture, int kurikaesi, QSizeF screenDpi, const QPageLayout &page,
                                                const PrintChoice &choice);

/// The warning for a repeat width on paper that cannot be free-viewed (over 60 mm) or is too
/// fine to see in depth easily (under 15 mm); empty otherwise.
QString repeatWarning(double repeatMm);

} // namespace lumivex::docwindow

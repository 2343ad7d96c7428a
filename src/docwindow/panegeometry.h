#pragma once

#include "document/words.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Geometry of a document window's panes: where the three containers and the splitter sit, and
// how each pane's scroll bars are shown and sized. Pure functions over sizes; the window applies
// the results to its widgets.
//
// Units: everything is in pixels (Qt's device-independent pixels). The document window works in a
// pixel scale throughout, so there is no twip conversion here: a 600 x 400 client area gives the
// containers 299 x 199 and 299 x 400 directly. (Window sizes given elsewhere in twips convert at
// 15 twips per pixel, i.e. 96 dots per inch.)
//
// Coordinates: containers and splitter are in the window's client coordinates. Scroll bar
// rectangles and the picture's view are in the container's inner coordinates, i.e. relative to
// the inside of its border; a widget that positions bars directly in a QFrame adds the frame
// width. The container sizes handed in are the containers' outer sizes, as WindowLayout holds
// them.

namespace lumivex::docwindow {

inline constexpr int SplitterWidth = 2;        ///< width of picDrag
inline constexpr int PaneGap = 2;              ///< between design and field container, and the splitter
inline constexpr int BarMargin = 3;            ///< the "+ 3" in every scroll bar placement
inline constexpr int ScrollLargeChange = 100;
inline constexpr int ScrollSmallChange = 10;
inline constexpr int ScrollMaximumLimit = 32767;
inline constexpr int DesignedBarThickness = 17; ///< at 96 dpi; callers pass the real thickness

/// The left column: the design pane alone (random dot) or the design pane above the field pane.
enum class PaneMode { RandomDot, Field };

/// The mode for a mode word: only "RandomDot" gives the single design pane; any other word
/// (in practice "Field") gives the two-pane column.
PaneMode paneModeOf(const document::Word<document::Mode> &modeWord);

/// Where the window's children sit, in client coordinates. The left column's width always equals
/// picDrag's left, and picContAfter starts at picDrag's left + SplitterWidth.
struct WindowLayout
{
    QRect picContBefore;
    QRect picContField;
    QRect picContAfter;
    QRect picDrag;
    bool fieldVisible = true; ///< picContField shown
};

/// The layout made when the window is created: the client area split at the middle, design and
/// field containers each half the height less one, the stereo container full height. The splitter
/// is only H div 2 - 1 high here; the first resize gives it the full height.
WindowLayout initialLayout(QSize client);

/// The left column a new document gets right after its window is created: full height for random
/// dot with the field container hidden; design and field halves for a colour-field document.
/// Widths are kept.
WindowLayout newDocumentLayout(const WindowLayout &current, int clientHeight, PaneMode mode);

/// What the window knows when it is resized.
struct ResizeEvent
{
    QSize client;
    PaneMode mode = PaneMode::Field;
    bool documentMinimised = false;
    bool mainMinimised = false;
};

/// The layout after a resize, or nothing when either window is minimised (the layout and the
/// window's mode word stay as they are then). The splitter stays where it is unless the window
/// became narrower than the stereo container's left; then the window is split anew at the middle.
std::optional<WindowLayout> windowLayout(const WindowLayout &current, const ResizeEvent &event);

/// The layout while the splitter is dragged over one of the six drop targets (the three
/// containers and their pictures). xInTarget is the pointer's position inside the target,
/// xInClient the same point in client coordinates. Returns nothing when xInTarget < 1. The stereo
/// container's width never goes below 0, even with the splitter at the window's right edge.
std::optional<WindowLayout> splitterDragLayout(const WindowLayout &current, int clientWidth,
                                               int xInTarget, int xInClient);

/// Thickness of a pane's scroll bars, read from the widgets at each layout.
struct BarThickness
{
    int hsbHeight = DesignedBarThickness;
    int vsbWidth = DesignedBarThickness;
};

/// One scroll bar as the pane layout leaves it. A hidden bar gets the range 0..0, so that its
/// pane's picture returns to the edge in that direction instead of staying scrolled out of reach
/// with no bar to bring it back. Its rectangle is then where both bars would sit (the place the
/// window gives hidden bars at creation); it is of no consequence while hidden.
struct ScrollBarLayout
{
    bool visible = false;
    QRect rect; ///< container inner coordinates; length never negative
    int minimum = 0;
    int maximum = 0;
    /// The pixels the picture moves from the bar's minimum to its maximum: the maximum itself,
    /// unless the picture is longer than the bar's 16-bit range reaches (scrollOffset()).
    int span = 0;
    int largeChange = ScrollLargeChange;
    int smallChange = ScrollSmallChange;
};

/// Both bars of one pane, and the part of the container where the picture shows.
struct PaneScrollLayout
{
    ScrollBarLayout hsb;
    ScrollBarLayout vsb;
    /// Container inner coordinates, at (0, 0): the inside of the border less what the shown bars
    /// take, each from its own top or left edge outwards. The picture is clipped to it, so it
    /// never shows beside, below or between the bars.
    QRect view;
    /// The size the picture is drawn at, from the view's top left: its own size at 1:1.
    QSize shown;
};

/// The scroll bars of a pane with the given container (outer size, with a border of the given
/// width on every side) and picture sizes.
///
/// A bar is shown in a direction where the picture does not fit the view: the inside of the
/// border, less the other bar's room when that one is shown (a bar can thus bring the other one
/// with it). Its Max is the picture's length less the view's, so that at Max the picture's last
/// row or column is the view's last. Bars are placed as the program always placed them: at the
/// right and bottom, 3 pixels from the outer edge, each shortened by the other's thickness + 3
/// when both show and by 3 otherwise. The layout never sets a bar's value; the bar clamps it to
/// the new range. With an empty picture this is also the placement the window gives its bars at
/// creation.
PaneScrollLayout paneScrollLayout(QSize container, QSize picture, BarThickness bars, int border);

/// A pane whose picture is fitted to it: both bars hidden (ranges 0..0, placed as for an empty
/// picture), the view the whole inside of the border, and the picture shown at fittedSize() of
/// that view.
PaneScrollLayout paneFitLayout(QSize container, QSize picture, BarThickness bars, int border);

/// The size a picture is shown at when fitted to a view: scaled down to fit it, keeping the
/// picture's shape, and never enlarged beyond 1:1 (enlarged dots only blur the picture). A picture
/// that is not empty keeps at least one pixel each way, however small the view.
QSize fittedSize(QSize picture, QSize view);

/// A scroll bar's Max for a picture length and the length of the view that shows it: the
/// difference, 0 when the picture fits, and at most ScrollMaximumLimit. Scroll positions are
/// 16-bit in this program, so a difference beyond 32767 is clamped rather than wrapped (a wrapped
/// value would be negative and leave an unusable bar); the bar's positions are then spread over
/// the whole difference by scrollOffset(). Only pictures over about 33000 pixels long meet this.
int scrollMaximum(int pictureLength, int viewLength);

/// How many pixels a bar at the given value has scrolled its picture: the value itself while
/// the bar's range covers the picture; for a longer picture the value scaled from the bar's
/// range to its span, so that the bar's maximum still shows the picture's last row or column.
int scrollOffset(const ScrollBarLayout &bar, int value);

/// Where a pane's picture sits when it is scrolled by these pixels across and down.
QPoint picturePosition(int across, int down);

} // namespace lumivex::docwindow

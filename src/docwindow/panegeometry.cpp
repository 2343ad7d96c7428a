#include "panegeometry.h"

#include <algorithm>

namespace lumivex::docwindow {

namespace {

// Very small client areas make sizes such as H div 2 - 1 negative; a widget cannot take them, so
// every computed size stops at 0.
int length(int value)
{
    return std::max(value, 0);
}

// The left column for a client height: full height for random dot, otherwise two halves less one
// with the gap between them. The column keeps its width.
void layLeftColumn(WindowLayout &layout, int clientHeight, PaneMode mode)
{
    const int width = layout.picContBefore.width();
    if (mode == PaneMode::RandomDot) {
        layout.picContBefore = QRect(0, 0, width, length(clientHeight));
        layout.fieldVisible = false;
        return;
    }
    const int half = length(clientHeight / 2 - 1);
    layout.picContBefore = QRect(0, 0, width, half);
    layout.picContField = QRect(0, half + PaneGap, width, half);
    layout.fieldVisible = true;
}

// Splits the client area at the middle, as on creation but with the full client height.
void splitAtMiddle(WindowLayout &layout, QSize client, PaneMode mode)
{
    const int height = length(client.height());
    const int left = length(client.width() / 2 - 1);
    layout.picContBefore.setWidth(left);
    layLeftColumn(layout, height, mode);
    const int afterLeft = left + SplitterWidth;
    layout.picContAfter = QRect(afterLeft, 0, length(client.width() - afterLeft), height);
    layout.picDrag = QRect(left, 0, SplitterWidth, height);
}

} // namespace

PaneMode paneModeOf(const document::Word<document::Mode> &modeWord)
{
    return modeWord == document::Mode::RandomDot ? PaneMode::RandomDot : PaneMode::Field;
}

WindowLayout initialLayout(QSize client)
{
    const int w1 = length(client.width() / 2 - 1);
    const int h1 = length(client.height() / 2 - 1);
    const int w2 = length(client.width() - (w1 + SplitterWidth));
    WindowLayout layout;
    layout.picContBefore = QRect(0, 0, w1, h1);
    layout.picContField = QRect(0, h1 + PaneGap, w1, h1);
    layout.picContAfter = QRect(w1 + SplitterWidth, 0, w2, length(client.height()));
    layout.picDrag = QRect(w1, 0, SplitterWidth, h1);
    layout.fieldVisible = true;
    return layout;
}

WindowLayout newDocumentLayout(const WindowLayout &current, int clientHeight, PaneMode mode)
{
    WindowLayout layout = current;
    layLeftColumn(layout, clientHeight, mode);
    return layout;
}

std::optional<WindowLayout> windowLayout(const WindowLayout &current, const ResizeEvent &event)
{
    if (event.documentMinimised || event.mainMinimised)
        return std::nullopt;

    WindowLayout layout = current;
    const int clientWidth = event.client.width();
    const int clientHeight = event.client.height();
    if (clientWidth - current.picContAfter.left() < 0) {
        splitAtMiddle(layout, event.client, event.mode);
        return layout;
    }
    if (clientHeight < 0)
        return layout;

    // The splitter stays; only the stereo container follows the width.
    layout.picContAfter.setSize(QSize(clientWidth - current.picContAfter.left(), clientHeight));
    layLeftColumn(layout, clientHeight, event.mode);
    layout.picDrag.setHeight(clientHeight);
    return layout;
}

std::optional<WindowLayout> splitterDragLayout(const WindowLayout &current, int clientWidth,
                                               int xInTarget, int xInClient)
{
    // A pointer on the target's first column (a container's border) leaves the layout alone.
    if (xInTarget < 1)
        return std::nullopt;

    WindowLayout layout = current;
    const int x = length(xInClient);
    layout.picDrag.moveTo(x, 0);
    layout.picContBefore.setWidth(x);
    layout.picContField.setWidth(x);
    const int afterLeft = x + SplitterWidth;
    // Near the right edge the stereo container would get a negative width; it stays at 0 and the
    // next resize splits the window anew.
    layout.picContAfter = QRect(afterLeft, 0, length(clientWidth - afterLeft),
                                current.picContAfter.height());
    return layout;
}

int scrollMaximum(int pictureLength, int viewLength)
{
    const long long difference = static_cast<long long>(pictureLength) - viewLength;
    return static_cast<int>(std::clamp<long long>(difference, 0, ScrollMaximumLimit));
}

PaneScrollLayout paneScrollLayout(QSize container, QSize picture, BarThickness bars, int border)
{
    const int cw = container.width();
    const int ch = container.height();
    // The view's width with the vertical bar shown ends where that bar begins; likewise its
    // height with the horizontal bar. Without the bar it is the whole inside of the border.
    const int besideVsb = length(cw - (bars.vsbWidth + BarMargin));
    const int aboveHsb = length(ch - (bars.hsbHeight + BarMargin));
    const int innerWidth = length(cw - 2 * border);
    const int innerHeight = length(ch - 2 * border);

    bool across = picture.width() > innerWidth;
    bool down = picture.height() > innerHeight;
    // Either bar narrows the view in the other direction. Two passes settle it: a bar that the
    // first one brings in was already counted by the second.
    down = down || (across && picture.height() > aboveHsb);
    across = across || (down && picture.width() > besideVsb);

    PaneScrollLayout pane;
    pane.view = QRect(0, 0, down ? std::min(besideVsb, innerWidth) : innerWidth,
                      across ? std::min(aboveHsb, innerHeight) : innerHeight);
    pane.shown = picture;
    // Hidden bars sit where both bars would: the vertical one at the right, the horizontal one at
    // the bottom, each leaving room for the other.
    pane.vsb.rect = QRect(cw - (bars.vsbWidth + BarMargin), 0, bars.vsbWidth, aboveHsb);
    pane.hsb.rect = QRect(0, ch - (bars.hsbHeight + BarMargin), besideVsb, bars.hsbHeight);

    if (down) {
        pane.vsb.visible = true;
        pane.vsb.maximum = scrollMaximum(picture.height(), pane.view.height());
        pane.vsb.span = length(picture.height() - pane.view.height());
        const int room = across ? bars.hsbHeight + BarMargin : BarMargin;
        pane.vsb.rect.setHeight(length(ch - room));
    }
    if (across) {
        pane.hsb.visible = true;
        pane.hsb.maximum = scrollMaximum(picture.width(), pane.view.width());
        pane.hsb.span = length(picture.width() - pane.view.width());
        const int room = down ? bars.vsbWidth + BarMargin : BarMargin;
        pane.hsb.rect.setWidth(length(cw - room));
    }
    return pane;
}

PaneScrollLayout paneFitLayout(QSize container, QSize picture, BarThickness bars, int border)
{
    PaneScrollLayout pane = paneScrollLayout(container, QSize(0, 0), bars, border);
    pane.shown = fittedSize(picture, pane.view.size());
    return pane;
}

QSize fittedSize(QSize picture, QSize view)
{
    const long long pw = length(picture.width()), ph = length(picture.height());
    if (pw == 0 || ph == 0)
        return QSize(0, 0);
    const long long vw = length(view.width()), vh = length(view.height());
    if (pw <= vw && ph <= vh)
        return QSize(int(pw), int(ph));
    // The direction with the smaller ratio view / picture decides the scale; the other length
    // follows it, rounded down so that it stays inside the view.
    long long w = vw, h = vh;
    if (pw * vh <= ph * vw)
        w = pw * vh / ph;
    else
        h = ph * vw / pw;
    return QSize(int(std::max(w, 1LL)), int(std::max(h, 1LL)));
}

int scrollOffset(const ScrollBarLayout &bar, int value)
{
    if (bar.span <= bar.maximum || bar.maximum <= 0)
        return value;
    const long long scaled = static_cast<long long>(std::clamp(value, 0, bar.maximum)) * bar.span / bar.maximum;
    return static_cast<int>(scaled);
}

QPoint picturePosition(int across, int down)
{
    return QPoint(-across, -down);
}

} // namespace lumivex::docwindow

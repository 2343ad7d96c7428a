// The document window's pane layout: where the containers and the splitter go, on creation, on
// every resize, for a new document's mode, and while the splitter is dragged.
#include "documentwindow.h"

#include "mainfacade.h"
#include "pane.h"
#include "panegeometry.h"
#include "picturebox.h"
#include "splitterdrag.h"

#include "document/sharedstate.h"

#include <QResizeEvent>

namespace lumivex::docwindow {

namespace {

WindowLayout layoutOf(const std::array<Pane *, 3> &panes, const QWidget *picDrag)
{
    WindowLayout layout;
    layout.picContBefore = panes[0]->geometry();
    layout.picContField = panes[1]->geometry();
    layout.picContAfter = panes[2]->geometry();
    layout.picDrag = picDrag->geometry();
    layout.fieldVisible = !panes[1]->isHidden();
    return layout;
}

// Each container that changes size lays out its scroll bars from its own resize event.
void apply(const WindowLayout &layout, const std::array<Pane *, 3> &panes, QWidget *picDrag)
{
    panes[0]->setGeometry(layout.picContBefore);
    panes[1]->setGeometry(layout.picContField);
    panes[1]->setVisible(layout.fieldVisible);
    panes[2]->setGeometry(layout.picContAfter);
    picDrag->setGeometry(layout.picDrag);
}

bool minimised(const QWidget *widget)
{
    return widget && widget->isMinimized();
}

// The splitter dragged to a point of the window: the targets are the three containers and their
// pictures; the background, the scroll bars and the splitter itself are not.
void dragSplitter(QWidget *window, const std::array<Pane *, 3> &panes, QWidget *picDrag, QPoint pointer)
{
    QWidget *target = window->childAt(pointer);
    int column = -1;  // 0 left column, 1 stereo pane
    for (int i = 0; i < 3 && target; ++i) {
        if (target == panes[i] || target == panes[i]->picture())
            column = i == 2 ? 1 : 0;
    }
    if (column < 0)
        return;
    const int xInTarget = target->mapFrom(window, pointer).x();
    const std::optional<WindowLayout> layout =
        splitterDragLayout(layoutOf(panes, picDrag), window->width(), xInTarget, pointer.x());
    if (!layout)
        return;
    picDrag->setCursor(Qt::SizeHorCursor);
    apply(*layout, panes, picDrag);
    if (column == 0) {
        panes[0]->setCursor(Qt::SizeHorCursor);
        panes[1]->setCursor(Qt::SizeHorCursor);
    } else {
        panes[2]->setCursor(Qt::SizeHorCursor);
    }
}

} // namespace

void DocumentWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

QSize DocumentWindow::sizeHint() const
{
    // The frame takes its size from here; without it a new window would open at its minimum.
    return QSize(600, 400);
}

void DocumentWindow::layoutForMode()
{
    const WindowLayout layout =
        newDocumentLayout(layoutOf(m_panes, m_picDrag), height(), paneModeOf(m_lblStereoName));
    apply(layout, m_panes, m_picDrag);
}

void DocumentWindow::layoutWindow()
{
    // The first call comes from creation: the initial layout, which also makes the splitter
    // draggable. Every later call is a resize.
    if (!m_picDrag->findChild<SplitterDrag *>(QString(), Qt::FindDirectChildrenOnly)) {
        const WindowLayout layout = initialLayout(size());
        apply(layout, m_panes, m_picDrag);
        for (Pane *pane : m_panes) {
            pane->picture()->hide();
            pane->picture()->resize(0, 0);
            pane->layoutScroll();  // hides both bars and puts the picture at the origin
        }
        new SplitterDrag(m_picDrag, [this](QPoint pointer) {
            dragSplitter(this, m_panes, m_picDrag, pointer);
        });
        return;
    }

    // Nothing happens while this window or the main window is minimised.
    const QWidget *frame = parentWidget();
    ResizeEvent resize;
    resize.client = size();
    resize.documentMinimised = isMinimized() || (frame && minimised(frame));
    resize.mainMinimised = minimised(window());
    if (resize.documentMinimised || resize.mainMinimised)
        return;
    // The layout follows this window's own mode. It leaves the shared mode word alone: that word
    // describes the active document, and a maximized window is resized on activation before the
    // previous document has written its own state.
    resize.mode = paneModeOf(m_lblStereoName);
    if (const std::optional<WindowLayout> layout = windowLayout(layoutOf(m_panes, m_picDrag), resize))
        apply(*layout, m_panes, m_picDrag);
}

} // namespace lumivex::docwindow

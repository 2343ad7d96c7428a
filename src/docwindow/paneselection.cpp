#include "paneselection.h"

#include "documentwindow.h"
#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"

#include "document/sharedstate.h"

#include <QMouseEvent>
#include <QPointer>

namespace lumivex::docwindow {

namespace {

constexpr document::Source kPaneWords[] = {document::Source::DesignPane, document::Source::FieldPane,
                                           document::Source::StereoPane};

} // namespace

PaneSelection::PaneSelection(DocumentWindow &window, MainFacade &main)
    : QObject(&window)
    , m_window(window)
    , m_main(main)
    , m_panes{window.picContBefore(), window.picContField(), window.picContAfter()}
{
    for (Pane *pane : m_panes) {
        // Right-button presses and releases reach the pane itself instead of turning into a
        // context menu event somewhere up the window chain.
        pane->setContextMenuPolicy(Qt::PreventContextMenu);
        pane->picture()->setContextMenuPolicy(Qt::PreventContextMenu);
        pane->installEventFilter(this);
        pane->picture()->installEventFilter(this);
    }
}

document::Word<document::Source> PaneSelection::paneWord(int pane)
{
    return pane >= 0 && pane < 3 ? document::Word<document::Source>(kPaneWords[pane])
                                 : document::Word<document::Source>();
}

int PaneSelection::paneOfWord(const document::Word<document::Source> &word)
{
    for (int pane = 0; pane < 3; ++pane) {
        if (word == kPaneWords[pane])
            return pane;
    }
    return -1;
}

bool PaneSelection::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return QObject::eventFilter(watched, event);
    for (int pane = 0; pane < 3; ++pane) {
        if (watched == m_panes[pane]->picture())
            return pictureEvent(pane, event);
        if (watched == m_panes[pane] && type == QEvent::MouseButtonRelease) {
            containerRelease(pane, static_cast<QMouseEvent *>(event));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool PaneSelection::pictureEvent(int pane, QEvent *event)
{
    // The picture's own button events end here: passed on, they would reach the container as
    // a release on its empty area.
    QPointer<PictureBox> picture = m_panes[pane]->picture();
    if (m_main.shared().Converting) {
        // A press made just before the run started must not leave the picture looking pressed.
        if (event->type() == QEvent::MouseButtonRelease)
            picture->setPressedLook(false);
        return true;
    }
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (event->type() != QEvent::MouseButtonRelease) {
        // The first click of a double-click has already selected the pane; the second release
        // selects it again.
        if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
            m_window.togglePaneFit(pane);
        picture->setPressedLook(true);
        return true;
    }
    m_main.shared().InsertSource = paneWord(pane);
    DocumentEvent selected{DocumentEvent::Kind::PaneSelected};
    selected.pane = pane;
    m_main.report(selected);
    if (mouse->button() == Qt::RightButton)
        PanePopupMenu(mouse->globalPosition().toPoint());
    // The picture keeps its pressed look while the menu is open. (Guarded: the menu runs an
    // event loop of its own.)
    if (picture)
        picture->setPressedLook(false);
    return true;
}

void PaneSelection::containerRelease(int pane, const QMouseEvent *event)
{
    document::SharedState &s = m_main.shared();
    if (s.Converting || !m_panes[pane]->picture()->isHidden())
        return;
    // Right after a project has been opened its panes are still being filled.
    if (s.CommandWord == document::Command::Open)
        return;
    s.InsertSource = paneWord(pane);
    DocumentEvent selected{DocumentEvent::Kind::EmptyPaneSelected};
    selected.pane = pane;
    m_main.report(selected);
    if (event->button() == Qt::RightButton)
        popupEditMenu(event->globalPosition().toPoint());
}

void PaneSelection::PanePopupMenu(const QPoint &globalPos)
{
    const int pane = paneOfWord(m_main.shared().InsertSource);
    if (pane >= 0 && m_panes[pane]->picture()->isHidden())
        m_main.report({DocumentEvent::Kind::EmptyPaneMenu});
    popupEditMenu(globalPos);
}

void PaneSelection::popupEditMenu(const QPoint &globalPos)
{
    DocumentEvent wanted{DocumentEvent::Kind::EditMenuWanted};
    wanted.globalPos = globalPos;
    m_main.report(wanted);
}

} // namespace lumivex::docwindow

#include "splitterdrag.h"

#include <QMouseEvent>
#include <QWidget>

namespace lumivex::docwindow {

SplitterDrag::SplitterDrag(QWidget *splitter, MoveHandler onMove)
    : QObject(splitter)
    , m_splitter(splitter)
    , m_onMove(std::move(onMove))
{
    m_splitter->setMouseTracking(true);
    m_splitter->setCursor(Qt::SizeHorCursor);
    m_splitter->installEventFilter(this);
}

bool SplitterDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_splitter)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // The press grabs the mouse for the splitter, so the moves that follow come here even
        // when the pointer is over a pane.
        m_dragging = true;
        return true;
    case QEvent::MouseMove: {
        m_splitter->setCursor(Qt::SizeHorCursor);
        if (m_dragging) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            m_onMove(m_splitter->mapToParent(mouse->position().toPoint()));
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton)
            m_dragging = false;
        return true;
    default:
        return false;
    }
}

} // namespace lumivex::docwindow

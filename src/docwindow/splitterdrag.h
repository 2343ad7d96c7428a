#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QWidget;

namespace lumivex::docwindow {

/// The mouse handling of the splitter picDrag: the west-east pointer on hover, and a drag that
/// starts with a press of any button and follows the pointer until the last button is released.
/// While dragging, every pointer movement is handed on in the splitter's parent's coordinates;
/// the window decides which pane lies under the pointer and where the splitter goes.
class SplitterDrag : public QObject
{
    Q_OBJECT

public:
    using MoveHandler = std::function<void(QPoint pointerInWindow)>;

    /// Watches splitter (which must have a parent) and calls onMove during a drag.
    SplitterDrag(QWidget *splitter, MoveHandler onMove);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_splitter;
    MoveHandler m_onMove;
    bool m_dragging = false;
};

} // namespace lumivex::docwindow

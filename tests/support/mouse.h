#pragma once

// Mouse events sent straight to a widget, past the window system.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace apptest {

/// A move carries no button; a press or a release, the left one.
inline void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace apptest

// The document window's pane layout: where the containers and the splitter go.
#include "documentwindow.h"

#include "pane.h"

#include <QResizeEvent>

namespace lumivex::docwindow {

void DocumentWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

void DocumentWindow::layoutForMode()
{
    layoutWindow();
}

void DocumentWindow::layoutWindow()
{
    // Provisional: left column of design (and field) pane, splitter, stereo pane.
    const int w = width();
    const int h = height();
    const int left = w / 2 - 1;
    const bool field = m_lblStereoName != QLatin1String("RandomDot") && !m_lblStereoName.isEmpty();
    if (field) {
        const int half = h / 2 - 1;
        m_panes[0]->setGeometry(0, 0, left, half);
        m_panes[1]->setGeometry(0, half + 2, left, half);
        m_panes[1]->show();
    } else {
        m_panes[0]->setGeometry(0, 0, left, h);
        m_panes[1]->hide();
    }
    m_picDrag->setGeometry(left, 0, 2, h);
    m_panes[2]->setGeometry(left + 2, 0, w - left - 2, h);
}

} // namespace lumivex::docwindow

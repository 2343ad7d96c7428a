#include "pane.h"

#include "picturebox.h"

#include <QScrollBar>

namespace lumivex::docwindow {

Pane::Pane(const QString &suffix, const QString &toolTip, QWidget *parent)
    : QFrame(parent)
    , m_picture(new PictureBox(this))
    , m_hsb(new QScrollBar(Qt::Horizontal, this))
    , m_vsb(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("picCont") + suffix);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    m_picture->setObjectName(QStringLiteral("pic") + suffix);
    m_picture->setToolTip(toolTip);
    m_picture->hide();
    m_picture->setGeometry(0, 0, 0, 0);
    m_hsb->setObjectName(QStringLiteral("hsb") + suffix);
    m_vsb->setObjectName(QStringLiteral("vsb") + suffix);
    m_hsb->hide();
    m_vsb->hide();
    connect(m_hsb, &QScrollBar::valueChanged, this, &Pane::scrollPicture);
    connect(m_vsb, &QScrollBar::valueChanged, this, &Pane::scrollPicture);
}

void Pane::layoutScroll()
{
}

void Pane::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutScroll();
}

void Pane::scrollPicture()
{
    m_picture->move(-m_hsb->value(), -m_vsb->value());
}

} // namespace lumivex::docwindow

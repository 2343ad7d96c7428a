#include "picturebox.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace lumivex::docwindow {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setImage(const QImage &image)
{
    m_image = image.convertToFormat(QImage::Format_RGB32);
    resize(m_image.size());
    update();
}

void PictureBox::clearImage()
{
    if (m_image.isNull())
        return;
    m_image.fill(Qt::white);
    update();
}

void PictureBox::resizeImage(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (m_image.width() != width || m_image.height() != height) {
        QImage next(width, height, QImage::Format_RGB32);
        next.fill(Qt::white);
        m_image = next;
    }
    resize(width, height);
    update();
}

void PictureBox::rowChanged(int y)
{
    update(0, y, m_image.width(), 1);
}

void PictureBox::setPressedLook(bool pressed)
{
    if (m_pressed == pressed)
        return;
    m_pressed = pressed;
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, palette().window());
    if (!m_image.isNull())
        painter.drawImage(area.topLeft(), m_image, area);
    if (m_pressed)
        qDrawWinPanel(&painter, rect(), palette(), true);
}

} // namespace lumivex::docwindow

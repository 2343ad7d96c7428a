#include "picturebox.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

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
    update(rowArea(y));
}

QRect PictureBox::rowArea(int y) const
{
    if (!isScaled())
        return QRect(0, y, m_image.width(), 1);
    const int height = std::max(m_image.height(), 1);
    // The scaled rows that row y falls on, and one more each side for the smoothing, which
    // blends neighbouring rows.
    const long long top = static_cast<long long>(y) * m_shown.height() / height;
    const long long bottom = (static_cast<long long>(y + 1) * m_shown.height() + height - 1) / height;
    return QRect(0, int(top) - 1, m_shown.width(), int(bottom - top) + 2);
}

void PictureBox::setShownSize(QSize size)
{
    if (m_shown == size)
        return;
    m_shown = size;
    update();
}

QRect PictureBox::shownRect() const
{
    return isScaled() ? QRect(QPoint(0, 0), m_shown) : rect();
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
    if (!m_image.isNull()) {
        if (isScaled()) {
            painter.setClipRect(area);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(shownRect(), m_image);
        } else {
            painter.drawImage(area.topLeft(), m_image, area);
        }
    }
    if (m_pressed)
        qDrawWinPanel(&painter, shownRect(), palette(), true);
}

} // namespace lumivex::docwindow

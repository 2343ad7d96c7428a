#include "picturebox.h"

#include "guidemarks.h"

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
    newPicture();
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
    newPicture();
}

// A picture put in or a run starting to draw: the repeat width it is made with is the one the
// document has now.
void PictureBox::newPicture()
{
    if (m_repeatSource)
        m_repeat = m_repeatSource();
    m_repeatKnown = true;
    takeSize();
}

void PictureBox::setRepeatWidth(int kurikaesi)
{
    m_repeat = kurikaesi;
    m_repeatKnown = kurikaesi > 0;
    takeSize();
}

void PictureBox::setGuidesShown(bool shown)
{
    if (m_guides == shown)
        return;
    m_guides = shown;
    takeSize();
}

void PictureBox::takeSize()
{
    m_band = m_guides && m_repeatKnown && guideBandAtTop(m_image) == 0 ? guideBandImage(m_image.size(), m_repeat) : QImage();
    resize(m_image.width(), m_band.height() + m_image.height());
    update();
}

// The picture's first row in the widget (or in the scaled view).
int PictureBox::imageTop() const
{
    if (!isScaled() || m_band.isNull())
        return m_band.height();
    return int(static_cast<long long>(m_band.height()) * m_shown.height() / std::max(height(), 1));
}

void PictureBox::rowChanged(int y)
{
    update(rowArea(y));
}

QRect PictureBox::rowArea(int y) const
{
    if (!isScaled())
        return QRect(0, m_band.height() + y, m_image.width(), 1);
    const int height = std::max(m_image.height(), 1);
    const int shownHeight = m_shown.height() - imageTop();
    // The scaled rows that row y falls on, and one more each side for the smoothing, which
    // blends neighbouring rows.
    const long long top = static_cast<long long>(y) * shownHeight / height;
    const long long bottom = (static_cast<long long>(y + 1) * shownHeight + height - 1) / height;
    return QRect(0, imageTop() + int(top) - 1, m_shown.width(), int(bottom - top) + 2);
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
        const int top = imageTop();
        if (isScaled()) {
            painter.setClipRect(area);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            if (!m_band.isNull())
                painter.drawImage(QRect(0, 0, m_shown.width(), top), m_band);
            painter.drawImage(QRect(0, top, m_shown.width(), m_shown.height() - top), m_image);
        } else {
            const QRect band = area & QRect(QPoint(0, 0), m_band.size());
            if (!band.isEmpty())
                painter.drawImage(band.topLeft(), m_band, band);
            const QRect picture = area & QRect(QPoint(0, top), m_image.size());
            if (!picture.isEmpty())
                painter.drawImage(picture.topLeft(), m_image, picture.translated(0, -top));
        }
    }
    if (m_pressed)
        qDrawWinPanel(&painter, shownRect(), palette(), true);
}

} // namespace lumivex::docwindow

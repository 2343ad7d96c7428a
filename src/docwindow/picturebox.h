#pragma once

#include <QImage>
#include <QWidget>

namespace lumivex::docwindow {

/// A picture without border that shows one image at its own size (picBefore, picField,
/// picAfter). Rows can be written one at a time and repainted alone.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    QImage &image() { return m_image; }

    /// Shows a copy of the image and takes its size.
    void setImage(const QImage &image);
    /// An empty picture of size 0 × 0, or a white one of the given size.
    void clearImage();
    void resizeImage(int width, int height);
    /// Repaints row y only.
    void rowChanged(int y);

    /// The look while a mouse button is held on the picture: a sunken 3-D edge drawn over the
    /// picture's border pixels. The image itself is not touched.
    void setPressedLook(bool pressed);
    bool pressedLook() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
    bool m_pressed = false;
};

} // namespace lumivex::docwindow

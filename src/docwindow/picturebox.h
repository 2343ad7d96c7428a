#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace lumivex::docwindow {

/// A picture without border that shows one image at its own size (picBefore, picField,
/// picAfter), or scaled down into its top left corner when its pane fits it. Rows can be written
/// one at a time and repainted alone.
///
/// The widget keeps the picture's own size in both views, so that everything that reads its size
/// reads the picture's; the pane's mask hides what a scaled picture leaves. Only the guide band,
/// when shown, adds its rows above the picture (image() stays the picture).
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

    /// Draws the image scaled to the given size, from the top left corner; an invalid size draws
    /// it at its own size (1:1).
    void setShownSize(QSize size);
    /// The part of the widget that shows the image: the whole widget at 1:1.
    QRect shownRect() const;
    bool isScaled() const { return m_shown.isValid(); }

    /// Where the repeat width of each new picture comes from (asked when a picture is put in or
    /// a run sizes it); the guide band is drawn at that width.
    void setRepeatSource(std::function<int()> source) { m_repeatSource = std::move(source); }
    /// The repeat width the picture came with (0 without a source, or when it is not known).
    int repeatWidth() const { return m_repeat; }
    /// The repeat width of the picture now shown, found in it rather than the one it was put in
    /// with; 0: not known, and no guide band is drawn for it. The next picture asks the source
    /// again.
    void setRepeatWidth(int kurikaesi);
    /// The guide band above the picture, for the eye only.
    void setGuidesShown(bool shown);
    bool guidesShown() const { return m_guides; }
    /// Rows of the band shown above the picture; 0 without one.
    int bandHeight() const { return m_band.height(); }

    /// The look while a mouse button is held on the picture: a sunken 3-D edge drawn over the
    /// picture's border pixels. The image itself is not touched.
    void setPressedLook(bool pressed);
    bool pressedLook() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect rowArea(int y) const;
    void newPicture();
    void takeSize();
    int imageTop() const;

    QImage m_image;
    QImage m_band;  ///< the guide band shown above the picture; null when none
    std::function<int()> m_repeatSource;
    int m_repeat = 0;
    bool m_repeatKnown = true;
    bool m_guides = false;
    QSize m_shown;  ///< scaled size; invalid at 1:1
    bool m_pressed = false;
};

} // namespace lumivex::docwindow

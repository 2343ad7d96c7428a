#pragma once

#include "docwindow/documentviews.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QSpinBox;
class QLabel;

namespace lumivex::prompts {
class Prompts;
}

namespace lumivex::shell {

/// 変換 → 立体で見る: a window of its own, not modal, that shows a document's surface as those
/// who cannot free-view a stereogram see it: a red-cyan anaglyph, the pair side by side for
/// parallel or for crossed eyes, or wiggling (the two views in turn). It shows what it was
/// given when opened; the menu item chosen again shows the active document anew. 保存… writes
/// the picture shown as PNG, the wiggle as an animated PNG.
class StereoViewer : public QWidget
{
    Q_OBJECT

public:
    /// The kinds in the chooser's order.
    enum Kind { Anaglyph, Parallel, Cross, Wiggle };

    /// Makes the surface again with the disparities' range given (none: the depth's own).
    using Remake = std::function<std::optional<docwindow::DocumentSurface>(std::optional<double> maxDisparity)>;

    StereoViewer(prompts::Prompts &prompts, QWidget *owner);

    /// Shows `surface`; `remake` serves the disparity box (without it the box is off).
    void showSurface(docwindow::DocumentSurface surface, Remake remake = {});
    const docwindow::DocumentSurface &surface() const { return m_surface; }
    void setKind(int kind);
    int kind() const;
    /// The picture shown now (of the wiggle, the frame shown now).
    QImage picture() const { return m_shown; }
    /// Asks for a file and writes the picture (the wiggle as an animated PNG); false when
    /// cancelled or not written (which is told).
    bool exportPicture();

private:
    void render();
    void disparityChanged(int pixels);
    void display(const QImage &image);

    prompts::Prompts &m_prompts;
    QComboBox *m_kind;
    QSpinBox *m_disparity;
    QSpinBox *m_viewCount;
    Remake m_remake;
    QLabel *m_picture;
    QTimer m_wiggle;
    docwindow::DocumentSurface m_surface;
    engine::StereoViews m_views;
    std::vector<engine::PackedImage> m_frames;
    std::size_t m_frame = 0;
    QImage m_shown;
};

} // namespace lumivex::shell

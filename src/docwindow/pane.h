#pragma once

#include <QFrame>

class QScrollBar;

namespace lumivex::docwindow {

class PictureBox;

/// A bordered container holding one picture and its two scroll bars (picContBefore with
/// picBefore, hsbBefore and vsbBefore, and so on).
class Pane : public QFrame
{
    Q_OBJECT

public:
    /// suffix is "Before", "Field" or "After"; toolTip the picture's tool tip.
    Pane(const QString &suffix, const QString &toolTip, QWidget *parent = nullptr);

    PictureBox *picture() const { return m_picture; }
    QScrollBar *hsb() const { return m_hsb; }
    QScrollBar *vsb() const { return m_vsb; }

    /// Shows or hides the scroll bars for the picture's and the container's sizes, and sets
    /// their ranges.
    void layoutScroll();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void scrollPicture();

    PictureBox *m_picture;
    QScrollBar *m_hsb;
    QScrollBar *m_vsb;
};

} // namespace lumivex::docwindow

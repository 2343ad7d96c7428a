#pragma once

#include "panegeometry.h"

#include <QFrame>

class QScrollBar;

namespace lumivex::docwindow {

class PictureBox;

/// A bordered container holding one picture and its two scroll bars (picContBefore with
/// picBefore, hsbBefore and vsbBefore, and so on).
///
/// The bars appear only in a direction where the picture does not fit the room inside the border
/// and beside the other bar; moving either bar moves the picture to (-hsb, -vsb) (scaled for a
/// picture longer than a bar's range), and at the bars' maximum the picture's last row and column
/// are in view. The picture shows only in that room. A mouse movement over the container or its
/// picture puts back the default pointer that a splitter drag may have left on the container.
///
/// A fitted pane shows its picture scaled down to the room inside the border, without bars; back
/// at 1:1, the bars return to where they were.
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
    /// their ranges. Runs on every size change of the container; whoever puts a new picture in
    /// calls it too.
    void layoutScroll();

    /// Fitted view or 1:1 (the default).
    void setFitted(bool fitted);
    bool isFitted() const { return m_fitted; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scrollPicture();
    void resetPointer();

    PictureBox *m_picture;
    QScrollBar *m_hsb;
    QScrollBar *m_vsb;
    ScrollBarLayout m_hsbLayout;  ///< the bars as last laid out: their spans scale long pictures
    ScrollBarLayout m_vsbLayout;
    QRect m_view;  ///< where the picture may show, in the container's coordinates
    bool m_fitted = false;
    QPoint m_scrollAt1To1;  ///< the bars' values when the pane was fitted
};

} // namespace lumivex::docwindow

#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

class QScreen;

namespace lumivex::docwindow {

/// 全体表示: one picture alone on a whole screen, on a dark ground. It starts at 1:1 when it fits
/// the screen and fitted to it otherwise; 拡大 and 縮小 (Ctrl++ and Ctrl+-, the wheel) go in
/// whole steps: 1, 2, 3 ... times and 1/2, 1/3 ... of the size, with the fitted size among them.
/// Esc, F11 or a click closes it.
class FullView : public QWidget
{
    Q_OBJECT

public:
    /// A full view of the picture, closed and deleted when it is closed. Not shown until open().
    explicit FullView(const QImage &picture, QWidget *parent = nullptr);

    /// Shows it full screen on the given screen (the primary one when null).
    void open(QScreen *screen);

    const QImage &picture() const { return m_picture; }
    /// Screen pixels per picture pixel.
    double scale() const { return m_scale; }
    /// The scale at which the picture just fits the window, never above 1.
    double fitScale() const;
    /// The next larger / smaller scale; false at the largest / smallest.
    bool zoomIn();
    bool zoomOut();
    /// Where the picture is drawn.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::vector<double> scales() const;
    void setScale(double scale);

    QImage m_picture;
    double m_scale = 1.0;
    bool m_fitting = true;  ///< the scale follows the window's size (until a zoom)
    bool m_pressed = false;
    int m_wheel = 0;  ///< wheel turns not yet a whole step
};

} // namespace lumivex::docwindow

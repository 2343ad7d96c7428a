#include "fullview.h"

#include "documentwindow.h"
#include "picturebox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace lumivex::docwindow {

namespace {

const QColor kGround(0x20, 0x20, 0x20);
constexpr int kMaxFactor = 8;  ///< the largest step: 8 times, and the smallest: an eighth
constexpr int kWheelStep = 120;  ///< one notch of an ordinary wheel

bool same(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max(a, b);
}

} // namespace

FullView::FullView(const QImage &picture, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_picture(picture)
{
    setObjectName(QStringLiteral("FullView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void FullView::open(QScreen *screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(screen->geometry());
    m_fitting = true;
    m_scale = fitScale();
    showFullScreen();
    activateWindow();
    setFocus();
}

double FullView::fitScale() const
{
    if (m_picture.isNull() || width() <= 0 || height() <= 0)
        return 1.0;
    return std::min({1.0, double(width()) / m_picture.width(), double(height()) / m_picture.height()});
}

std::vector<double> FullView::scales() const
{
    std::vector<double> steps;
    for (int n = kMaxFactor; n >= 2; --n)
        steps.push_back(1.0 / n);
    for (int n = 1; n <= kMaxFactor; ++n)
        steps.push_back(n);
    // The fitted size is a step of its own: the way back to the whole picture.
    const double fit = fitScale();
    if (std::none_of(steps.begin(), steps.end(), [fit](double step) { return same(step, fit); }))
        steps.push_back(fit);
    std::sort(steps.begin(), steps.end());
    return steps;
}

bool FullView::zoomIn()
{
    for (const double step : scales()) {
        if (step > m_scale && !same(step, m_scale)) {
            setScale(step);
            return true;
        }
    }
    return false;
}

bool FullView::zoomOut()
{
    const std::vector<double> steps = scales();
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (*step < m_scale && !same(*step, m_scale)) {
            setScale(*step);
            return true;
        }
    }
    return false;
}

void FullView::setScale(double scale)
{
    m_fitting = false;
    m_scale = scale;
    update();
}

QRect FullView::pictureRect() const
{
    const QSize size(std::max(1, int(std::lround(m_picture.width() * m_scale))),
                     std::max(1, int(std::lround(m_picture.height() * m_scale))));
    // Centred; a picture larger than the screen loses as much on either side.
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void FullView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kGround);
    if (m_picture.isNull())
        return;
    // Enlarged, every pixel becomes a sharp square of whole screen pixels. Reduced, the pixels
    // are blended rather than dropped, so that no column goes missing and the repeat keeps its width.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_scale < 1.0);
    painter.drawImage(pictureRect(), m_picture);
}

void FullView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_fitting)
        m_scale = fitScale();
}

void FullView::keyPressEvent(QKeyEvent *event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11) {
        close();
    } else if (event->matches(QKeySequence::ZoomIn)
               || (control && (event->key() == Qt::Key_Plus || event->key() == Qt::Key_Equal))) {
        zoomIn();
    } else if (event->matches(QKeySequence::ZoomOut) || (control && event->key() == Qt::Key_Minus)) {
        zoomOut();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void FullView::wheelEvent(QWheelEvent *event)
{
    // Fine-grained wheels and touch pads send parts of a notch: a step per whole notch.
    m_wheel += event->angleDelta().y();
    for (; m_wheel >= kWheelStep; m_wheel -= kWheelStep)
        zoomIn();
    for (; m_wheel <= -kWheelStep; m_wheel += kWheelStep)
        zoomOut();
    event->accept();
}

void FullView::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    event->accept();
}

// Closed on the release, so that the release does not go to the window under the view.
void FullView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (m_pressed)
        close();
}

FullView *DocumentWindow::fullView() const
{
    return m_fullView;
}

void DocumentWindow::showFullView()
{
    const PictureBox *stereo = picAfter();
    if (stereo->isHidden() || stereo->image().isNull())
        return;
    if (m_fullView)
        m_fullView->close();
    // Owned by the top-level window rather than the document, so that the document's being
    // disabled while another document converts cannot disable its view; it goes with the document.
    auto *view = new FullView(stereoForOutput(), window());
    view->setWindowTitle(m_caption);
    connect(this, &QObject::destroyed, view, &QWidget::close);
    m_fullView = view;
    view->open(screen());
}

} // namespace lumivex::docwindow

#include "pane.h"

#include "panegeometry.h"
#include "picturebox.h"

#include <QEvent>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>

namespace lumivex::docwindow {

namespace {

void applyBar(QScrollBar *bar, const ScrollBarLayout &layout, int frame)
{
    bar->setGeometry(layout.rect.translated(frame, frame));
    bar->setRange(layout.minimum, layout.maximum);
    bar->setPageStep(layout.largeChange);
    bar->setSingleStep(layout.smallChange);
    bar->setVisible(layout.visible);
}

} // namespace

Pane::Pane(const QString &suffix, const QString &toolTip, QWidget *parent)
    : QFrame(parent)
    , m_picture(new PictureBox(this))
    , m_hsb(new QScrollBar(Qt::Horizontal, this))
    , m_vsb(new QScrollBar(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("picCont") + suffix);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    // What the picture and the bars leave (the corner between the bars, the strips beside them)
    // shows the window colour.
    setAutoFillBackground(true);
    setMouseTracking(true);
    m_picture->setObjectName(QStringLiteral("pic") + suffix);
    m_picture->setToolTip(toolTip);
    m_picture->hide();
    m_picture->setGeometry(frameWidth(), frameWidth(), 0, 0);
    m_picture->setMouseTracking(true);
    m_picture->installEventFilter(this);
    m_hsb->setObjectName(QStringLiteral("hsb") + suffix);
    m_vsb->setObjectName(QStringLiteral("vsb") + suffix);
    m_hsb->hide();
    m_vsb->hide();
    // valueChanged comes both from a change and while the thumb is dragged (tracking is on).
    connect(m_hsb, &QScrollBar::valueChanged, this, &Pane::scrollPicture);
    connect(m_vsb, &QScrollBar::valueChanged, this, &Pane::scrollPicture);
}

void Pane::layoutScroll()
{
    BarThickness bars;
    bars.hsbHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_hsb);
    bars.vsbWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_vsb);
    // A picture that is hidden holds no image as far as the pane is concerned.
    const QSize picture = m_picture->isHidden() ? QSize(0, 0) : m_picture->size();
    const PaneScrollLayout layout = m_fitted ? paneFitLayout(size(), picture, bars, frameWidth())
                                             : paneScrollLayout(size(), picture, bars, frameWidth());
    m_view = layout.view.translated(frameWidth(), frameWidth());
    m_picture->setShownSize(m_fitted ? layout.shown : QSize());
    m_hsbLayout = layout.hsb;
    m_vsbLayout = layout.vsb;
    applyBar(m_vsb, layout.vsb, frameWidth());
    applyBar(m_hsb, layout.hsb, frameWidth());
    // A range that did not change moves nothing by itself; a new picture still belongs where
    // the bars say.
    scrollPicture();
}

void Pane::setFitted(bool fitted)
{
    if (m_fitted == fitted)
        return;
    if (fitted)
        m_scrollAt1To1 = QPoint(m_hsb->value(), m_vsb->value());
    m_fitted = fitted;
    layoutScroll();
    if (!fitted) {
        // The bars clamp what no longer fits a picture put in meanwhile.
        m_hsb->setValue(m_scrollAt1To1.x());
        m_vsb->setValue(m_scrollAt1To1.y());
    }
}

void Pane::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    layoutScroll();
}

void Pane::mouseMoveEvent(QMouseEvent *event)
{
    resetPointer();
    QFrame::mouseMoveEvent(event);
}

bool Pane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_picture && event->type() == QEvent::MouseMove)
        resetPointer();
    return QFrame::eventFilter(watched, event);
}

void Pane::scrollPicture()
{
    // Positions are inside the border, like the bars'.
    const QPoint inner(frameWidth(), frameWidth());
    m_picture->move(inner + picturePosition(scrollOffset(m_hsbLayout, m_hsb->value()),
                                            scrollOffset(m_vsbLayout, m_vsb->value())));
    // The picture is a child of the container and would otherwise paint over the border, the
    // gaps beside the bars and the corner between them. An empty mask would mean no mask, so a
    // view with nothing in it masks to a point outside the picture.
    // A scaled picture shows only where it is drawn; the rest of the view is the container's, for
    // the mouse as well.
    QRect visible = m_view.translated(-m_picture->pos());
    if (m_fitted)
        visible &= m_picture->shownRect();
    m_picture->setMask(visible.isEmpty() ? QRegion(-1, -1, 1, 1) : QRegion(visible));
}

void Pane::resetPointer()
{
    if (testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::SizeHorCursor)
        unsetCursor();
}

} // namespace lumivex::docwindow

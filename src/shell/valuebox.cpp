#include "valuebox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <algorithm>

namespace lumivex::shell {

namespace {

/// Opens the box on a double-click of the label it watches.
class TypedValueOffer : public QObject
{
public:
    TypedValueOffer(QLabel *label, QSlider *slider)
        : QObject(label)
        , m_label(label)
        , m_slider(slider)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_label || event->type() != QEvent::MouseButtonDblClick)
            return false;
        // A greyed slider (no document, or a run that holds it) takes no typed value either.
        if (m_slider && m_slider->isEnabled())
            new ValueBox(m_slider, m_label);
        return true;
    }

private:
    QLabel *m_label;
    QPointer<QSlider> m_slider;
};

} // namespace

ValueBox::ValueBox(QSlider *slider, QLabel *over)
    : QSpinBox(over->window())  // not the label's child: a greyed caption would grey it too
    , m_slider(slider)
{
    setObjectName(QStringLiteral("valueBox"));
    // A popup closes by itself on a click elsewhere; what it closes with is not taken.
    setWindowFlags(Qt::Popup);
    setAttribute(Qt::WA_DeleteOnClose);
    setRange(slider->minimum(), slider->maximum());
    setValue(slider->value());
    setAlignment(Qt::AlignRight);
    setAccelerated(true);
    // Over the label, as wide as the label or the widest number, whichever is wider.
    const QRect place(over->mapToGlobal(QPoint(0, 0)), over->size());
    resize(std::max(place.width(), sizeHint().width()), std::max(place.height(), sizeHint().height()));
    move(place.topLeft());
    show();
    lineEdit()->selectAll();
    setFocus(Qt::PopupFocusReason);
}

void ValueBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // What is typed is held to the range (an unfinished number goes back to the last
        // whole one) before the slider takes it, through the move a user's key makes.
        interpretText();
        if (m_slider && m_slider->isEnabled())
            m_slider->setSliderPosition(value());
        close();
        return;
    case Qt::Key_Escape:
        close();
        return;
    default:
        QSpinBox::keyPressEvent(event);
    }
}

void offerTypedValue(QLabel *label, QSlider *slider)
{
    label->installEventFilter(new TypedValueOffer(label, slider));
}

} // namespace lumivex::shell

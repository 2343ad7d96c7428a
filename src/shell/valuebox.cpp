#include "valuebox.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSlider>

#include <algorithm>

namespace lumivex::shell {

namespace {

/// Opens the box on a double-click of the label it watches.
class TypedValueOffer : public QObject
{
public:
    TypedValueOffer(QLabel *label, QSlider *slider, ValueNotice notice)
        : QObject(label)
        , m_label(label)
        , m_slider(slider)
        , m_notice(std::move(notice))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_label || event->type() != QEvent::MouseButtonDblClick)
            return false;
        // A greyed slider (no document, or a run that holds it) takes no typed value either.
        if (m_slider && m_slider->isEnabled())
            new ValueBox(m_slider, m_label, m_notice);
        return true;
    }

private:
    QLabel *m_label;
    QPointer<QSlider> m_slider;
    ValueNotice m_notice;
};

// A whole number as it is being typed: a sign, then digits.
const QRegularExpression kTyped(QStringLiteral("^[-+]?[0-9]*$"));

} // namespace

ValueBox::ValueBox(QSlider *slider, QLabel *over, ValueNotice notice)
    : QSpinBox(over->window())  // not the label's child: a greyed caption would grey it too
    , m_slider(slider)
    , m_notice(std::move(notice))
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
    {
        // What is typed is held to the range (a sign alone keeps the value the box holds) before
        // the slider takes it, through the move a user's key makes.
        bool held = false;
        const int typed = heldToRange(cleanText(), minimum(), maximum(), value(), &held);
        if (m_slider && m_slider->isEnabled()) {
            m_slider->setSliderPosition(typed);
            if (held && m_notice)
                //: a typed value outside the slider's range; %1 typed, %2 and %3 the range, %4 the value taken
                m_notice(tr("%1 は範囲外（%2～%3）：%4 にしました").arg(cleanText().trimmed()).arg(minimum()).arg(maximum()).arg(typed));
        }
        close();
        return;
    }
    case Qt::Key_Escape:
        close();
        return;
    default:
        QSpinBox::keyPressEvent(event);
    }
}

QValidator::State ValueBox::validate(QString &input, int &) const
{
    // Every digit is taken, also past the range's end: the range is applied when the value is
    // entered, so that a digit too many is said instead of silently dropped.
    const QString text = input.trimmed();
    if (!kTyped.match(text).hasMatch())
        return QValidator::Invalid;
    bool number = false;
    text.toLongLong(&number);
    return number ? QValidator::Acceptable : QValidator::Intermediate;
}

int ValueBox::valueFromText(const QString &text) const
{
    bool held = false;
    return heldToRange(text, minimum(), maximum(), value(), &held);
}

int ValueBox::heldToRange(const QString &text, int minimum, int maximum, int fallback, bool *held)
{
    *held = false;
    const QString typed = text.trimmed();
    if (!kTyped.match(typed).hasMatch() || !typed.contains(QRegularExpression(QStringLiteral("[0-9]"))))
        return fallback;
    bool fits = false;
    const qlonglong value = typed.toLongLong(&fits);
    // More digits than a 64-bit number holds lie beyond either end.
    const bool negative = typed.startsWith(u'-');
    if (!fits || value < minimum || value > maximum) {
        *held = true;
        return (fits ? value < minimum : negative) ? minimum : maximum;
    }
    return int(value);
}

void offerTypedValue(QLabel *label, QSlider *slider, ValueNotice notice)
{
    label->installEventFilter(new TypedValueOffer(label, slider, std::move(notice)));
}

} // namespace lumivex::shell

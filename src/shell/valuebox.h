#pragma once

#include <QPointer>
#include <QSpinBox>

#include <functional>

class QLabel;
class QSlider;

namespace lumivex::shell {

/// Where a typed value held to the slider's range is told (the status bar's message panel).
using ValueNotice = std::function<void(const QString &)>;

/// The small number box for typing a slider's value: it opens over a label and holds the
/// slider's value. Any whole number may be typed, of any length; Enter holds it to the slider's
/// range, says so through the notice when it had to, and sets the slider as a move of the
/// user's does. Esc, or a click elsewhere, closes it and leaves the slider as it was.
class ValueBox : public QSpinBox
{
    Q_OBJECT

public:
    /// A box for the slider, over the label (shown and focused at once); it deletes itself
    /// when closed.
    ValueBox(QSlider *slider, QLabel *over, ValueNotice notice = {});

    /// The typed text as a value of the range [minimum, maximum]: a number outside it is held
    /// to its nearer end (*held tells so); text that is no number gives `fallback`.
    static int heldToRange(const QString &text, int minimum, int maximum, int fallback, bool *held);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;

private:
    QPointer<QSlider> m_slider;
    ValueNotice m_notice;
};

/// Makes a double-click on the label open a ValueBox for the slider while the slider can be
/// moved. The parameter strip's captions and the status bar's value panels use it.
void offerTypedValue(QLabel *label, QSlider *slider, ValueNotice notice = {});

} // namespace lumivex::shell

#pragma once

#include <QPointer>
#include <QSpinBox>

class QLabel;
class QSlider;

namespace lumivex::shell {

/// The small number box for typing a slider's value: it opens over a label, holds the slider's
/// value and takes only numbers inside the slider's range. Enter sets the slider as a move of
/// the user's does; Esc, or a click elsewhere, closes it and leaves the slider as it was.
class ValueBox : public QSpinBox
{
    Q_OBJECT

public:
    /// A box for the slider, over the label (shown and focused at once); it deletes itself
    /// when closed.
    ValueBox(QSlider *slider, QLabel *over);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointer<QSlider> m_slider;
};

/// Makes a double-click on the label open a ValueBox for the slider while the slider can be
/// moved. The parameter strip's captions and the status bar's value panels use it.
void offerTypedValue(QLabel *label, QSlider *slider);

} // namespace lumivex::shell

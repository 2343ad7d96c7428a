// Page 2 of the wizard: the repeat width and the depth strength, typed as digits and checked
// when their box loses the focus.
#include "wizarddialog.h"

#include "prompts/prompts.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace lumivex::wizard {

namespace {

constexpr int kMaxKurikaesi = 200;
constexpr int kMaxRittaido = 50;

// The value of the leading digits (blanks skipped), 0 when there are none. Long numbers stop
// growing far above every limit.
int numericValue(const QString &text)
{
    qint64 value = 0;
    for (const QChar c : text.trimmed()) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = std::min<qint64>(value * 10 + (c.unicode() - '0'), 1000000000);
    }
    return static_cast<int>(value);
}

} // namespace

bool WizardDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || (box != txtKurikaesi && box != txtRittaido))
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return textKeyPress(static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusOut && !m_refusing) {
        // Another window (a message box, another program) taking the focus is no focus loss
        // within the wizard.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            // The check may show a message: it runs once the focus change is complete.
            m_checkPending[box == txtKurikaesi ? 0 : 1] = true;
            QMetaObject::invokeMethod(this, [this, box] { focusLeft(box); }, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool WizardDialog::textKeyPress(QKeyEvent *event)
{
    // Returns whether the key is discarded.
    // Ctrl+V types a control character and is discarded with the others; Shift+Insert types
    // none, yet pastes the same way.
    if (event->matches(QKeySequence::Paste))
        return true;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdNext->setEnabled(true);
        cmdNext->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Backspace:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return false;  // moving the cursor types no character
    return !(text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9'));
}

void WizardDialog::focusLeft(QLineEdit *box)
{
    bool &pending = m_checkPending[box == txtKurikaesi ? 0 : 1];
    if (!pending)
        return;
    if (box == txtKurikaesi)
        txtKurikaesiLostFocus();
    else
        txtRittaidoLostFocus();
}

void WizardDialog::txtKurikaesiLostFocus()
{
    commitKurikaesi();
}

void WizardDialog::txtRittaidoLostFocus()
{
    commitRittaido();
}

bool WizardDialog::commitKurikaesi()
{
    m_checkPending[0] = false;
    const QString text = txtKurikaesi->text();
    const int value = numericValue(text);
    if (value > kMaxKurikaesi) {
        refuse(txtKurikaesi, tr("繰り返し幅が大きすぎます。\r\n幅を200ピクセル以下にしてください。"));
        return false;
    }
    if (text.isEmpty()) {
        refuse(txtKurikaesi, tr("0～200までの数値を入力してください。"));
        return false;
    }
    m_result.kurikaesi = value;
    return true;
}

bool WizardDialog::commitRittaido()
{
    m_checkPending[1] = false;
    const QString text = txtRittaido->text();
    const int value = numericValue(text);
    if (value > 0 && !text.isEmpty() && value <= kMaxRittaido) {
        m_result.rittaido = value;
        return true;
    }
    if (value > kMaxRittaido)
        refuse(txtRittaido, tr("立体度の数値が大きすぎます。\r\n数値を50以下にしてください。"));
    else
        refuse(txtRittaido, tr("0～50までの数値を入力してください。"));
    return false;
}

void WizardDialog::refuse(QLineEdit *box, const QString &message)
{
    m_refusing = true;
    m_prompts.exclamation(this, prompts::applicationTitle(), message);
    box->clear();
    box->setFocus(Qt::OtherFocusReason);
    m_refusing = false;
}

bool WizardDialog::pageTwoPending()
{
    // Leaving page 2 takes the boxes' values as their focus loss would. A box emptied by a
    // refusal holds the focus and has shown its message already: the page just stays.
    const std::array<QLineEdit *, 2> boxes{txtKurikaesi, txtRittaido};
    for (int i = 0; i < 2; ++i) {
        QLineEdit *box = boxes[i];
        if (box->hasFocus() && box->text().isEmpty() && !m_checkPending[i])
            return true;
        if (!(i == 0 ? commitKurikaesi() : commitRittaido()))
            return true;
    }
    return false;
}

} // namespace lumivex::wizard

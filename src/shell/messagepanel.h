#pragma once

#include <QLabel>

namespace lumivex::shell {

/// Status panel 1, the message panel. It keeps its whole text (text() returns it as set) and
/// shows its first line as far as it fits the width, shortened with "…" in the middle, so that a
/// long state file path keeps the start of its folder and its file name. A notice too long for
/// the panel is set as a short first line and its whole wording below it. While the text is
/// shortened, or has more lines, the whole text is the panel's tooltip.
class MessagePanel : public QLabel
{
    Q_OBJECT

public:
    explicit MessagePanel(QWidget *parent = nullptr);

    /// The text as the panel shows it at its present width.
    QString shownText() const;

    // A long message must not widen the window: the panel takes the width the others leave.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRect textRect() const;
};

} // namespace lumivex::shell

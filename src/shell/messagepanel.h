#pragma once

#include <QLabel>

namespace lumivex::shell {

/// Status panel 1, the message panel. It keeps its whole text (text() returns it as set) and
/// shows what fits its width, shortened with "…" in the middle, so that a long state file path
/// keeps the start of its folder and its file name. While the text is shortened, the whole text
/// is the panel's tooltip.
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

#include "messagepanel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace lumivex::shell {

MessagePanel::MessagePanel(QWidget *parent)
    : QLabel(parent)
{
    // Paths and messages are shown as they are, never read as markup.
    setTextFormat(Qt::PlainText);
}

QRect MessagePanel::textRect() const
{
    // As QLabel places its text: inside the frame and the margin, indented by half an "x" when
    // there is a frame and no indent of its own.
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int indentation = indent();
    if (indentation < 0)
        indentation = frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    return area.adjusted(indentation, 0, -indentation, 0);
}

QString MessagePanel::shownText() const
{
    return fontMetrics().elidedText(text().section(u'\n', 0, 0), Qt::ElideMiddle, std::max(textRect().width(), 0));
}

QSize MessagePanel::sizeHint() const
{
    return QSize(minimumWidth(), QLabel::sizeHint().height());
}

QSize MessagePanel::minimumSizeHint() const
{
    return QSize(minimumWidth(), QLabel::minimumSizeHint().height());
}

bool MessagePanel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && shownText() != text()) {
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), text(), this, rect());
        return true;
    }
    return QLabel::event(event);
}

void MessagePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    drawFrame(&painter);
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    style()->drawItemText(&painter, textRect(), int(align), palette(), isEnabled(), shownText(),
                          foregroundRole());
}

} // namespace lumivex::shell

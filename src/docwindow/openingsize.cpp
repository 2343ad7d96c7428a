#include "openingsize.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace lumivex::docwindow {

namespace {

// Below this the panes show too little to be worth a window of their own: the area scrolls.
constexpr int kLeastWidth = 320;
constexpr int kLeastHeight = 200;

} // namespace

void sizeForArea(QMdiSubWindow &frame, const QMdiArea &area)
{
    QWidget *document = frame.widget();
    if (!document || !area.isVisible())
        return;
    // The frame's title bar and borders, as the frame measures them around its document.
    const QSize margins = frame.sizeHint() - document->sizeHint();
    const QSize room = (area.viewport()->size() - margins).expandedTo(QSize(kLeastWidth, kLeastHeight));
    document->resize(room);
    frame.resize(room + margins);
}

} // namespace lumivex::docwindow

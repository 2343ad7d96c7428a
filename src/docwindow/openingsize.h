#pragma once

class QMdiArea;
class QMdiSubWindow;

namespace lumivex::docwindow {

/// Sizes a new document window's frame, before its document lays out its panes, to what the
/// document area shows: the panes then show as much of the pictures as the area allows, split
/// from the start at that size. A window made while the area is not shown keeps the document's
/// own size hint.
void sizeForArea(QMdiSubWindow &frame, const QMdiArea &area);

} // namespace lumivex::docwindow

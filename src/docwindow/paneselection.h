#pragma once

#include "document/words.h"

#include <QObject>

#include <array>

class QMouseEvent;

namespace lumivex::docwindow {

class DocumentWindow;
class MainFacade;
class Pane;

/// Selecting one of a document window's panes with the mouse, for the Edit commands.
///
/// A release on a pane's picture selects the pane (InsertSource becomes its "CBpic..." word) and
/// makes cut, copy and clear available; a release on the empty area of an empty pane selects it
/// for pasting. A right-button release opens the Edit menu as a context menu. The picture looks
/// pressed while a button is held on it. A double-click on a picture switches its pane between
/// the fitted view and 1:1. While a conversion runs, presses and releases on the panes do nothing.
class PaneSelection : public QObject
{
    Q_OBJECT

public:
    /// Watches the three panes of window; owned by the window.
    PaneSelection(DocumentWindow &window, MainFacade &main);

    /// The selection word of pane 0..2: "CBpicBefore", "CBpicField", "CBpicAfter".
    static document::Word<document::Source> paneWord(int pane);
    /// The pane 0..2 a selection word names, or -1.
    static int paneOfWord(const document::Word<document::Source> &word);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool pictureEvent(int pane, QEvent *event);
    void containerRelease(int pane, const QMouseEvent *event);
    void PanePopupMenu(const QPoint &globalPos);
    void popupEditMenu(const QPoint &globalPos);

    DocumentWindow &m_window;
    MainFacade &m_main;
    std::array<Pane *, 3> m_panes{};
};

} // namespace lumivex::docwindow

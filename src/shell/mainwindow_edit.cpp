// The Edit commands on the selected pane (cut, copy, clear; paste posts an insertion), the Edit
// menu as the panes' context menu, and the printer.
#include "mainwindow.h"

#include "docwindow/clipboard.h"
#include "docwindow/documentwindow.h"
#include "docwindow/pane.h"
#include "docwindow/paneselection.h"
#include "docwindow/picturebox.h"
#include "docwindow/printer.h"
#include "prompts/prompts.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

namespace lumivex::shell {

using document::Control;

namespace {

constexpr int kPrinterButton = 4;
constexpr int kCutButton = 6;
constexpr int kCopyButton = 7;
constexpr int kPasteButton = 8;

docwindow::Pane *paneOf(docwindow::DocumentWindow *document, int pane)
{
    switch (pane) {
    case 0:
        return document->picContBefore();
    case 1:
        return document->picContField();
    case 2:
        return document->picContAfter();
    default:
        return nullptr;
    }
}

/// Empties a pane: no picture, hidden, 1 × 1, no scroll bars. The bars keep their values.
void emptyPane(docwindow::Pane *pane)
{
    docwindow::PictureBox *picture = pane->picture();
    picture->setImage(QImage());
    picture->hide();
    picture->resize(1, 1);
    pane->vsb()->hide();
    pane->hsb()->hide();
}

/// Copy: the selected pane's picture onto the clipboard. Whether a picture was to be copied and
/// the clipboard would not take it (said to the user).
bool copyRefused(MainWindow &main)
{
    docwindow::DocumentWindow *document = main.activeDocument();
    const int pane = docwindow::PaneSelection::paneOfWord(main.shared().InsertSource);
    if (!document || pane < 0)
        return false;
    const docwindow::PictureBox *picture = paneOf(document, pane)->picture();
    // An empty pane has no picture to copy; the clipboard keeps what it holds rather than being
    // emptied for nothing.
    if (picture->isHidden() || picture->image().isNull())
        return false;
    if (main.clipboard().setImage(picture->image()))
        return false;
    main.prompts().exclamation(&main, prompts::applicationTitle(),
                               MainWindow::tr("画像をクリップボードに置けませんでした。"));
    return true;
}

} // namespace

void MainWindow::popupEditMenu(const QPoint &globalPos)
{
    QAction *edit = controlAction(Control::mnuHensyuu);
    QMenu *menu = edit ? edit->menu() : nullptr;
    if (!menu)
        return;
    // The context menu offers the commands on the pane only: the editor submenu and its
    // separator are left out while it is open.
    QAction *editor = controlAction(Control::mnuEditer);
    QAction *bar = menuAction(QStringLiteral("mnuBar5"));
    editor->setVisible(false);
    bar->setVisible(false);
    // The pane's own view (fitted or 1:1) is offered below the edit commands.
    QMenu popup;
    popup.addActions(menu->actions());
    addPaneFitItem(&popup);
    popup.exec(globalPos);
    editor->setVisible(true);
    bar->setVisible(true);
}

void MainWindow::onCopy()
{
    copyRefused(*this);
}

void MainWindow::onCut()
{
    // The picture is only taken out of the pane once it is safe on the clipboard.
    if (copyRefused(*this))
        return;
    ClearSelectedPane();
}

void MainWindow::ClearSelectedPane()
{
    docwindow::DocumentWindow *document = activeDocument();
    if (!document)
        return;  // the Edit commands are off without a document
    const int pane = docwindow::PaneSelection::paneOfWord(m_shared.InsertSource);
    if (pane >= 0)
        emptyPane(paneOf(document, pane));
    switch (pane) {
    case 0:
        m_shared.DesignImagePath.clear();
        m_shared.DesignDepth = document::DepthKind::Colours;
        document->picUra() = QImage();  // the working copy goes with the pane's picture
        setConvControls(tr("開始"), false, false, false);
        m_controls.set(Control::mnuSaveDesign, false);
        break;
    case 1:
        m_shared.FieldImagePath.clear();
        document->picUraField() = QImage();
        setConvControls(tr("開始"), false, false, false);
        m_controls.set(Control::mnuSaveField, false);
        break;
    case 2:
        m_shared.StereoImagePath.clear();
        setStatusText(5, QString());
        m_controls.set({Control::mnuSaveStereo, Control::mnuPrint, document::buttonControl(kPrinterButton)}, false);
        break;
    default:
        break;
    }

    m_controls.set({Control::mnuCut, Control::mnuCopy, document::buttonControl(kCutButton),
                    document::buttonControl(kCopyButton)},
                   false);
    const bool bitmap = !clipboard().image().isNull();
    m_controls.set({Control::mnuPaste, document::buttonControl(kPasteButton)}, bitmap);

    const bool designGone = document->picBefore()->isHidden();
    const bool stereoGone = document->picAfter()->isHidden();
    const bool nothingLeft = m_shared.ModeWord == document::Mode::RandomDot
        ? designGone && stereoGone
        : designGone && stereoGone && document->picField()->isHidden();
    if (nothingLeft)
        m_controls.set(Control::mnuSaveGazou, false);
    applyControls();
}

} // namespace lumivex::shell

// What the main window makes of what happens in a document window: which controls that enables,
// and when the document's state file is written.
#include "mainwindow.h"

#include "docwindow/clipboard.h"
#include "docwindow/documentwindow.h"

#include <QAction>

namespace lumivex::shell {

using docwindow::DocumentEvent;
using enum document::Control;

namespace {

/// The item under 画像の保存 of pane 0..2.
constexpr document::Control kSaveItems[] = {mnuSaveDesign, mnuSaveField, mnuSaveStereo};

} // namespace

void MainWindow::report(const DocumentEvent &event)
{
    using Kind = DocumentEvent::Kind;
    switch (event.kind) {
    case Kind::Activated:
        ReadDocState();
        m_insFieldItem = !(event.mode == document::Mode::RandomDot);
        if (event.stereoShown)
            m_controls.set(mnuSaveStereo, true);
        applyControls();
        break;
    case Kind::Deactivated:
        WriteDocState();
        break;
    case Kind::PictureInserted:
        m_controls.set({mnuSaveGazou, kSaveItems[event.pane], mnuClear}, true);
        if (event.pane == 2)
            m_controls.set({mnuPrint, knButtons4}, true);
        applyControls();
        if (event.conversionPossible)
            SetConvIdle();
        WriteDocState();
        break;
    case Kind::RunStarted:
        SetConvRunning();
        break;
    case Kind::RunPaused:
        SetConvPaused();
        runPausedForLiveConversion();
        break;
    case Kind::RunEnded:
        SetConvEnded();
        m_controls.set({mnuSaveStereo, mnuPrint, knButtons4}, true);
        applyControls();
        runPausedForLiveConversion();  // a change that came as the last row was drawn
        break;
    case Kind::RunReleased:
        SetConvEnded();
        break;
    case Kind::RunClosed:
        // The conversion controls leave the run's state; the document shown next brings its own.
        SetConvIdle();
        break;
    case Kind::LastClosed:
        SetNoDocumentState();
        break;
    case Kind::ProjectSaved:
        m_controls.set({mnuSave, knButtons3}, true);
        applyControls();
        WriteDocState();
        break;
    case Kind::PaneSelected:
        m_controls.set({mnuCopy, mnuCut, mnuClear, knButtons6, knButtons7}, true);
        applyControls();
        break;
    case Kind::EmptyPaneSelected: {
        const bool bitmap = !clipboard().image().isNull();
        m_controls.set({mnuPaste, knButtons8}, bitmap);
        m_controls.set({mnuClear, mnuCut, mnuCopy}, false);
        applyControls();
        break;
    }
    case Kind::EmptyPaneMenu:
        m_controls.set({mnuCopy, mnuCut, mnuClear, knButtons6, knButtons7}, false);
        applyControls();
        break;
    case Kind::EditMenuWanted:
        popupEditMenu(event.globalPos);
        break;
    case Kind::WizardSetUp:
        setSliderValue(0, event.kurikaesi);
        setSliderValue(1, event.rittaido);
        setSliderValue(2, 0);
        m_controls.set({sldMitudo, knText2, mnuSaveStereo}, false);
        m_controls.set({mnuSaveGazou, mnuSaveDesign, mnuSaveField}, true);
        applyControls();
        // A slider already at the wizard's value writes nothing by itself; the state file must
        // hold the parameters the conversion reads, and the controls' states for the next
        // activation.
        WriteDocState();
        break;
    }
}

bool MainWindow::writeState(const QString &path, QString *error)
{
    return document::writeDocState(path, docStateFromControls(), error);
}

void MainWindow::lockDocuments(docwindow::DocumentWindow *holder, bool locked)
{
    const QList<docwindow::DocumentWindow *> windows = documentWindows();
    for (docwindow::DocumentWindow *window : windows) {
        if (locked && window != holder)
            setDocumentWindowEnabled(window, false);
        else if (!locked && !isDocumentWindowEnabled(window))
            setDocumentWindowEnabled(window, true);
    }
}

} // namespace lumivex::shell

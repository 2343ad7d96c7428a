#pragma once

#include "document/words.h"
#include "prompts/prompts.h"

#include <QList>
#include <QPoint>
#include <QString>

namespace lumivex::document {
struct SharedState;
class AppSettings;
}

namespace lumivex::docwindow {

class Clipboard;
class DocumentWindow;
class Printer;

// The prompts are the document windows' way of asking the user.
using prompts::applicationTitle;
using prompts::FileRequest;
using prompts::Prompts;
using prompts::runtimeErrorText;

/// What a document window tells the main window has happened to it. The main window decides
/// what that enables and writes the document's state file when the happening changes it.
struct DocumentEvent
{
    enum class Kind {
        Activated,         ///< became the active document (mode, stereoShown): read its state
        Deactivated,       ///< another document becomes active: write its state
        PictureInserted,   ///< a picture went into pane (conversionPossible)
        RunStarted,        ///< a conversion started or went on
        RunPaused,         ///< ... paused at a row
        RunEnded,          ///< ... drew its last row
        RunReleased,       ///< ... stopped because its window was asked to close, which was refused
        RunClosed,         ///< the window holding a run closes
        LastClosed,        ///< the last document window closes
        ProjectSaved,      ///< written under a new name, which is now the document's state file
        PaneSelected,      ///< a release on the picture of pane
        EmptyPaneSelected, ///< a release on the empty pane (for pasting)
        EmptyPaneMenu,     ///< the context menu opens on a pane without a picture
        EditMenuWanted,    ///< the Edit menu as a context menu at globalPos
        WizardSetUp,       ///< a wizard's document took its pictures (kurikaesi, rittaido)
    };

    Kind kind;
    int pane = -1;  ///< 0 design, 1 field, 2 stereo
    bool conversionPossible = false;
    bool stereoShown = false;
    document::Word<document::Mode> mode;
    QPoint globalPos;
    int kurikaesi = 0;
    int rittaido = 0;
};

/// The narrow view of the main window that document windows work through.
class MainFacade
{
public:
    virtual ~MainFacade() = default;

    virtual document::SharedState &shared() = 0;
    virtual const document::AppSettings &settings() = 0;
    virtual Prompts &prompts() = 0;
    virtual Clipboard &clipboard() = 0;
    virtual Printer &printer() = 0;

    /// Something happened to the document window; returns once the main window has dealt with it
    /// (a context menu has closed).
    virtual void report(const DocumentEvent &event) = 0;
    /// The active document's state (shared variables, parameters, controls) into a state file;
    /// whether it was written, and if not, why in *error.
    virtual bool writeState(const QString &path, QString *error = nullptr) = 0;
    /// Status bar panel 1..5.
    virtual void setStatusText(int panel, const QString &text) = 0;

    /// The open document windows in the order they were created.
    virtual QList<DocumentWindow *> documentWindows() const = 0;
    /// The lock of a running conversion: every other document window disabled, or all enabled.
    virtual void lockDocuments(DocumentWindow *holder, bool locked) = 0;
};

} // namespace lumivex::docwindow

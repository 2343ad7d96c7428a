#pragma once

#include <QList>
#include <QString>

class QPoint;

namespace lumivex::document {
struct SharedState;
struct DocState;
class AppSettings;
}

namespace lumivex::docwindow {

class Clipboard;
class DocumentWindow;
class Printer;
class Prompts;

/// The narrow view of the main window that document windows work through: the shared state,
/// the state file mapping of the main window's controls, the conversion control states, the
/// status bar, and the list of document windows.
class MainFacade
{
public:
    virtual ~MainFacade() = default;

    virtual document::SharedState &shared() = 0;
    virtual const document::AppSettings &settings() = 0;
    virtual Prompts &prompts() = 0;
    virtual Clipboard &clipboard() = 0;
    virtual Printer &printer() = 0;
    /// The Edit menu as a context menu at a screen position, without its editor submenu;
    /// returns when the menu has closed.
    virtual void popupEditMenu(const QPoint &globalPos) = 0;
    /// The folder of this copy of the program's temporary state files.
    virtual QString stateFolder() const = 0;

    /// WriteDocState / ReadDocState: the shared document variables and the enabled states of the
    /// main window's controls to and from the file StateFilePath names. WriteDocState says
    /// whether the file was written; only a save asks.
    virtual bool WriteDocState() = 0;
    virtual void ReadDocState() = 0;
    /// What WriteDocState writes, for a writer that must know whether the file was written.
    virtual document::DocState docStateFromControls() const = 0;

    virtual void SetNoDocumentState() = 0;
    virtual void SetConvIdle() = 0;
    virtual void SetConvRunning() = 0;
    virtual void SetConvPaused() = 0;
    virtual void SetConvEnded() = 0;

    /// Status bar panel 1..5.
    virtual void setStatusText(int panel, const QString &text) = 0;

    /// Enabled state of a menu item by its name ("mnuSaveStereo"), of toolbar button 1..14, of
    /// the "Ins" button's drop-down item 1..3.
    virtual void setMenuEnabled(const QString &name, bool enabled) = 0;
    virtual bool isMenuEnabled(const QString &name) const = 0;
    virtual void setButtonEnabled(int index, bool enabled) = 0;
    virtual void setInsItemEnabled(int position, bool enabled) = 0;

    /// The parameter strip: slider 0 sldKurikaesi, 1 sldRittaido, 2 sldMitudo, and the caption
    /// boxes Text1(0..2). Setting a value runs the slider's change handling.
    virtual void setSliderValue(int slider, int value) = 0;
    virtual void setSliderEnabled(int slider, bool enabled) = 0;
    virtual void setCaptionEnabled(int caption, bool enabled) = 0;

    /// The open document windows in the order they were created.
    virtual QList<DocumentWindow *> documentWindows() const = 0;
    /// Enables or disables a document window as a whole (the lock of a running conversion).
    virtual void setDocumentWindowEnabled(DocumentWindow *window, bool enabled) = 0;
    virtual bool isDocumentWindowEnabled(DocumentWindow *window) const = 0;
};

} // namespace lumivex::docwindow

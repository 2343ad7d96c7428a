#pragma once

// The main window as a document window sees it, and no more: the shared state, the settings
// file, scripted prompts, the desktop's clipboard, a recording printer and a state folder of its
// own. New documents are made as 新規作成 makes them, without menus, toolbar or document area.
// Like the harness's App::Start::FreshSettings, it starts with no settings remembered from an
// earlier test.

#include "recordingprinter.h"
#include "scriptedprompts.h"

#include "docwindow/clipboard.h"
#include "docwindow/documentwindow.h"
#include "docwindow/mainfacade.h"
#include "document/appsettings.h"
#include "document/sharedstate.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QTemporaryDir>

namespace apptest {

class FakeMain : public lumivex::docwindow::MainFacade
{
public:
    FakeMain();
    ~FakeMain() override;
    FakeMain(const FakeMain &) = delete;
    FakeMain &operator=(const FakeMain &) = delete;

    lumivex::document::SharedState &shared() override { return m_shared; }
    const lumivex::document::AppSettings &settings() override { return m_settings; }
    ScriptedPrompts &prompts() override { return m_prompts; }
    lumivex::docwindow::QtClipboard &clipboard() override { return m_clipboard; }
    RecordingPrinter &printer() override { return m_printer; }

    /// Where the main window writes the active document's state file after the event, the fake
    /// writes it too.
    void report(const lumivex::docwindow::DocumentEvent &event) override;
    /// The shared state's paths and words with every control enabled and the parameters the
    /// fake holds.
    bool writeState(const QString &path, QString *error = nullptr) override;
    void setStatusText(int panel, const QString &text) override { m_status[panel] = text; }
    QList<lumivex::docwindow::DocumentWindow *> documentWindows() const override;
    void lockDocuments(lumivex::docwindow::DocumentWindow *holder, bool locked) override;

    /// A new document ("RandomDot" with "Mono", or "Field"), shown as a window of its own and
    /// laid out for its mode; owned by the fake.
    lumivex::docwindow::DocumentWindow *newDocument(const QString &mode);

    QString statusText(int panel) const { return m_status.value(panel); }
    /// The messages shown so far, of one kind ("exclamation", "question", ...).
    QStringList asked(const QString &kind) const { return m_prompts.texts(kind); }

    int kurikaesi = 70;
    int rittaido = 20;
    int mitudo = 30;

private:
    QTemporaryDir m_stateFolder;
    lumivex::document::SharedState m_shared;
    lumivex::document::AppSettings m_settings;
    ScriptedPrompts m_prompts;
    lumivex::docwindow::QtClipboard m_clipboard;
    RecordingPrinter m_printer;
    QMap<int, QString> m_status;
    QList<QPointer<lumivex::docwindow::DocumentWindow>> m_documents;
};

} // namespace apptest

#pragma once

// A shown main window with scripted prompts and helpers to reach a document's panes, for the
// tests of layout, insertion and project files.

#include "scriptedprompts.h"
#include "testfiles.h"
#include "testservices.h"

#include "docwindow/documentwindow.h"
#include "docwindow/pane.h"
#include "docwindow/picturebox.h"
#include "document/appsettings.h"
#include "document/inifile.h"
#include "document/sharedstate.h"
#include "shell/mainwindow.h"

#include <QAction>
#include <QFile>
#include <QTest>

#include <memory>

namespace docharness {

using lumivex::docwindow::DocumentWindow;
using lumivex::shell::MainWindow;
using Answer = ScriptedPrompts::Answer;

/// The settings file every main window of the test program reads and writes.
inline lumivex::document::AppSettings settings()
{
    return lumivex::document::AppSettings();
}

using testfiles::iniValue;

inline QByteArray fileBytes(const QString &path)
{
    return testfiles::readBytes(path);
}

/// The main window of one test, shown, with no settings remembered from an earlier test.
struct App
{
    ScriptedPrompts prompts;
    testservices::TestServices services{prompts};
    std::unique_ptr<MainWindow> window;

    App()
    {
        QFile::remove(settings().settingsFilePath());
        window = std::make_unique<MainWindow>(services.services());
        window->show();
    }
    ~App()
    {
        // Whatever is still open closes without saving.
        prompts.answers = QList<Answer>(32, Answer::No);
        prompts.files.clear();
        window->close();
    }

    lumivex::document::SharedState &shared() { return window->shared(); }

    /// A new document ("RandomDot" with "Mono", or "Field"), made through the main window.
    DocumentWindow *newDocument(const QString &mode)
    {
        using lumivex::document::Colour;
        using lumivex::document::Mode;
        const bool field = mode == QLatin1String("Field");
        window->newDocument(field ? Mode::Field : Mode::RandomDot,
                            field ? lumivex::document::Word<Colour>() : Colour::Mono);
        return window->activeDocument();
    }

    bool menuEnabled(const char *name) const
    {
        return window->menuAction(QString::fromLatin1(name))->isEnabled();
    }

    /// The messages shown so far, of one kind ("exclamation", "question", ...).
    QStringList asked(const QString &kind) const
    {
        QStringList texts;
        for (const ScriptedPrompts::Asked &a : prompts.asked) {
            if (a.kind == kind)
                texts.append(a.text);
        }
        return texts;
    }
};

} // namespace docharness

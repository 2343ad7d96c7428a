#pragma once

// The application as the tests drive it: a main window with scripted prompts and the services
// of the test, new documents made through the menus or directly, design pictures put straight
// into a document, conversions started and waited for, and a hook that runs something while a
// conversion is at a given row.

#include "docpanes.h"
#include "recordingprinter.h"
#include "scriptedprompts.h"
#include "testfiles.h"
#include "testservices.h"

#include "docwindow/documentwindow.h"
#include "docwindow/picturebox.h"
#include "document/appsettings.h"
#include "document/inifile.h"
#include "picture/picture.h"
#include "document/sharedstate.h"
#include "engine/depth.h"
#include "shell/mainwindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>

namespace apptest {

using lumivex::docwindow::DocumentFrame;
using lumivex::docwindow::DocumentWindow;
using lumivex::shell::MainWindow;
using Answer = ScriptedPrompts::Answer;

using testfiles::fileLines;
using testfiles::iniValue;
using testfiles::readBytes;
using testfiles::writeBytes;

/// The settings file every main window of the test program reads and writes.
inline lumivex::document::AppSettings settings()
{
    return lumivex::document::AppSettings();
}

/// A design picture: depth levels in bands and a raised square, so that every row has links
/// of several lengths.
inline QImage designPicture(int width, int height)
{
    using lumivex::engine::DepthPalette;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int level = (x / 37 + y / 23) % 6;
            if (x > width / 4 && x < 3 * width / 4 && y > height / 4 && y < 3 * height / 4)
                level = 12;
            image.setPixel(x, y, lumivex::picture::unpackPixel(DepthPalette[level]));
        }
    }
    return image;
}

/// A colourful field picture without pure black.
inline QImage fieldPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(40 + (x * 7) % 200, 30 + (y * 11) % 220, 50 + ((x + y) * 5) % 190));
    return image;
}

/// Whether row y of the picture is white from end to end (the pane's background).
inline bool rowIsBlank(const QImage &image, int y)
{
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != qRgb(255, 255, 255))
            return false;
    }
    return true;
}

/// Runs a function while the running conversion is about to process row `row`: from inside the
/// event processing of that row's check, which is where a user's command reaches the loop.
///
/// The loop processes pending events exactly once per row, and every such call wakes the event
/// dispatcher once: counting the wake-ups from the moment the run sets its running controls
/// (開始 disabled while Converting), before its first row, gives the row.
class RowHook : public QObject
{
public:
    RowHook(MainWindow &window, int firstRow, int row, std::function<void()> action)
        : m_window(window)
        , m_row(row)
        , m_next(firstRow)
        , m_action(std::move(action))
    {
        QAction *start = window.menuAction(QStringLiteral("mnuConvStart"));
        connect(start, &QAction::changed, this, [this, start] {
            if (!m_started && m_window.shared().Converting && !start->isEnabled())
                m_started = true;
        });
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this, [this] {
            if (!m_started || m_fired)
                return;
            if (m_next == m_row) {
                m_fired = true;
                m_action();
                return;
            }
            ++m_next;
        });
    }
    bool fired() const { return m_fired; }

private:
    MainWindow &m_window;
    int m_row;
    int m_next;
    std::function<void()> m_action;
    bool m_started = false;
    bool m_fired = false;
};

/// The main window of one test, with scripted prompts and the test's services.
struct App
{
    /// How the main window starts.
    enum class Start {
        Shown,          ///< shown, with the settings file as it is (a restart keeps it)
        FreshSettings,  ///< shown, with no settings remembered from an earlier test
        Hidden,         ///< not shown until the test shows it
    };

    ScriptedPrompts prompts;
    testservices::TestServices services{prompts};
    std::unique_ptr<MainWindow> window;

    explicit App(Start start = Start::Shown)
    {
        if (start == Start::FreshSettings)
            QFile::remove(settings().settingsFilePath());
        window = std::make_unique<MainWindow>(services.services());
        if (start == Start::Hidden)
            return;
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("main window not exposed");
    }
    ~App()
    {
        if (!window)
            return;
        // Whatever is still open closes without saving.
        prompts.answers = QList<Answer>(32, Answer::No);
        prompts.files.clear();
        window->close();
    }

    lumivex::document::SharedState &shared() { return window->shared(); }

    void trigger(const char *menuItem) { window->menuAction(QString::fromLatin1(menuItem))->trigger(); }
    bool menuEnabled(const char *name) const
    {
        return window->menuAction(QString::fromLatin1(name))->isEnabled();
    }
    /// The messages shown so far, of one kind ("exclamation", "question", ...).
    QStringList asked(const QString &kind) const { return prompts.texts(kind); }

    // New documents through the menu items.
    DocumentWindow *newMono()
    {
        trigger("mnuMono");
        return window->activeDocument();
    }
    DocumentWindow *newColour()
    {
        trigger("mnuColor");
        return window->activeDocument();
    }
    DocumentWindow *newField()
    {
        trigger("mnuFieldColor");
        return window->activeDocument();
    }
    /// A new document ("RandomDot" with "Mono", or "Field") made by the main window directly.
    DocumentWindow *newDocument(const QString &mode)
    {
        using lumivex::document::Colour;
        using lumivex::document::Mode;
        const bool field = mode == QLatin1String("Field");
        window->newDocument(field ? Mode::Field : Mode::RandomDot,
                            field ? lumivex::document::Word<Colour>() : Colour::Mono);
        return window->activeDocument();
    }

    /// A project opened with 開く, its mode word stored in it first; waits until the opened
    /// window has run its posted loading command.
    DocumentWindow *openProject(const QString &path, const QString &title, const QString &mode)
    {
        lumivex::document::iniWriteString(path, QString::fromLatin1(lumivex::document::kSection),
                                          QStringLiteral("StereoName"), mode);
        prompts.files.prepend(path);
        const qsizetype asked = prompts.asked.size();
        trigger("mnuOpen");
        prompts.asked.resize(asked);  // the open dialog is not what the test asks about
        DocumentWindow *document = window->activeDocument();
        if (!document || document->caption() != title || document->lblIniName() != path)
            return nullptr;
        waitForTick(document);
        return document;
    }

    QList<DocumentWindow *> documents() const { return window->documentWindows(); }

    static QMdiSubWindow *frameOf(DocumentWindow *document)
    {
        return qobject_cast<QMdiSubWindow *>(document->parentWidget());
    }

    /// Makes the document active the way a click on its window does.
    void activate(DocumentWindow *document) { window->mdiArea()->setActiveSubWindow(frameOf(document)); }

    /// Puts a design (and for colour field a field) picture into the document as an insertion
    /// would, and makes the conversion possible.
    void putDesign(DocumentWindow *document, const QImage &design, const QImage &field = {})
    {
        document->picUra() = design;
        if (!field.isNull()) {
            document->picUraField() = field;
            document->picField()->setImage(field);
        }
        window->SetConvIdle();
        window->WriteDocState();
    }

    /// Chooses 開始 / 継続 and waits until the run has ended or paused (or stopped because its
    /// window closed).
    bool startAndWait(int timeoutMs = 20000)
    {
        DocumentWindow *document = window->activeDocument();
        trigger("mnuConvStart");
        return document && waitForTick(document, timeoutMs);
    }
    /// Waits until the command posted to the document has run: the run goes on inside the tick.
    static bool waitForTick(DocumentWindow *document, int timeoutMs = 20000)
    {
        QPointer<DocumentWindow> watched = document;
        QElapsedTimer clock;
        clock.start();
        while (watched && watched->Timer1()->isActive() && clock.elapsed() < timeoutMs)
            QTest::qWait(5);
        return !watched || !watched->Timer1()->isActive();
    }
};

} // namespace apptest

// Conversion runs inside a document window: the whole run, pause and continue, abort, the lock
// of the other windows, the conversion controls, and closing a window whose run is under way.
#include "appfixture.h"

#include "engine/colourfield.h"
#include "engine/randomdot.h"

#include <QLabel>
#include <QSlider>

#include <vector>

using namespace appfixture;
namespace engine = lumivex::engine;

namespace {

const QString kDotRunning = QStringLiteral("ランダムドット変換中です。しばらくお待ちください...");
const QString kDotPaused = QStringLiteral("ランダムドット変換を中断しています...");
const QString kFieldRunning = QStringLiteral("カラーフィールド変換中です。しばらくお待ちください...");
const QString kFieldPaused = QStringLiteral("カラーフィールド変換を中断しています...");

/// One stretch of random-dot rows worked by one start or continuation: rows from..to-1 (to < 0:
/// to the end), with its own seed and parameters. The window's engine carries on from one
/// stretch to the next, and a stretch that begins at row 0 clears the picture.
struct Leg
{
    int from;
    int to;
    std::uint64_t seed;
    engine::DotParams params;
};

QImage referenceDots(const QImage &design, const std::vector<Leg> &legs)
{
    const int scanWidth = design.width() - 1;
    const int scanHeight = design.height() - 1;
    QImage picture(scanWidth, scanHeight, QImage::Format_RGB32);
    engine::RandomDot dots;
    std::array<engine::Packed, engine::kRowCapacity> designRow{};
    std::array<std::int32_t, engine::kRowCapacity> depth{};
    std::array<engine::Packed, engine::kRowCapacity> out{};
    for (const Leg &leg : legs) {
        if (leg.from == 0)
            picture.fill(Qt::white);
        dots.begin(leg.params, scanWidth, leg.seed);
        const int to = leg.to < 0 ? scanHeight + 1 : leg.to;
        for (int y = leg.from; y < to; ++y) {
            const auto row = std::span(designRow).first(static_cast<std::size_t>(design.width()));
            lumivex::document::packRow(design, y, row);
            engine::GetDepthRow(row, scanWidth, depth);
            if (y < scanHeight) {
                const auto outRow = std::span(out).first(static_cast<std::size_t>(scanWidth));
                dots.row(depth, outRow);
                lumivex::document::unpackRow(outRow, picture, y);
            } else {
                dots.row(depth, {});
            }
        }
    }
    return picture;
}

QImage referenceField(const QImage &design, const QImage &field, const engine::FieldParams &params)
{
    const int width = field.width();
    const int height = field.height();
    QImage picture(width, height, QImage::Format_RGB32);
    engine::ColourField run;
    run.begin(params, width);
    std::array<engine::Packed, engine::kRowCapacity> designRow{};
    std::array<engine::Packed, engine::kRowCapacity> fieldRow{};
    std::array<std::int32_t, engine::kRowCapacity> depth{};
    std::array<engine::Packed, engine::kRowCapacity> out{};
    for (int y = 0; y <= height; ++y) {
        std::span<const engine::Packed> designPart;
        if (y < design.height()) {
            designPart = std::span(designRow).first(static_cast<std::size_t>(design.width()));
            lumivex::document::packRow(design, y, designRow);
        }
        engine::GetDepthRow(designPart, width, depth);
        std::span<const engine::Packed> fieldPart;
        if (y < height) {
            fieldPart = std::span(fieldRow).first(static_cast<std::size_t>(width));
            lumivex::document::packRow(field, y, fieldRow);
        }
        const auto outRow = std::span(out).first(static_cast<std::size_t>(y < height ? width : 0));
        run.row(depth, fieldPart, outRow);
        if (y < height)
            lumivex::document::unpackRow(outRow, picture, y);
    }
    return picture;
}

engine::DotParams dotParams(bool mono, int kurikaesi = 70, int rittaido = 20, int mitudo = 30)
{
    engine::DotParams params;
    params.kurikaesi = kurikaesi;
    params.rittaido = rittaido;
    params.mitudo = mitudo;
    params.mono = mono;
    return params;
}

/// The conversion controls: start caption, and enabled 開始, 中断, 中止 (menus and buttons agree).
struct Controls
{
    QString caption;
    bool start;
    bool stop;
    bool exit;
};

QString describe(MainWindow &window)
{
    QAction *start = window.menuAction(QStringLiteral("mnuConvStart"));
    const auto flag = [](bool on) { return on ? QLatin1Char('1') : QLatin1Char('0'); };
    return start->text() + QLatin1Char(' ') + flag(start->isEnabled())
        + flag(window.isMenuEnabled(QStringLiteral("mnuConvStop")))
        + flag(window.isMenuEnabled(QStringLiteral("mnuConvExit"))) + QStringLiteral(" buttons ")
        + window.button(11)->toolTip() + QLatin1Char(' ') + flag(window.button(11)->isEnabled())
        + flag(window.button(12)->isEnabled()) + flag(window.button(13)->isEnabled());
}

QString expected(const Controls &c)
{
    const auto flag = [](bool on) { return on ? QLatin1Char('1') : QLatin1Char('0'); };
    return c.caption + QLatin1Char(' ') + flag(c.start) + flag(c.stop) + flag(c.exit) + QStringLiteral(" buttons ")
        + c.caption + QLatin1Char(' ') + flag(c.start) + flag(c.stop) + flag(c.exit);
}

const Controls kRunning{QStringLiteral("継続"), false, true, false};
const Controls kPaused{QStringLiteral("継続"), true, false, true};
const Controls kEnded{QStringLiteral("開始"), true, false, false};

/// Seeds 1, 2, 3, ... for the runs of a window.
void countSeeds(DocumentWindow *document)
{
    auto next = std::make_shared<std::uint64_t>(0);
    document->setSeedSource([next] { return ++*next; });
}

} // namespace

class TestRunControl : public QObject
{
    Q_OBJECT

private slots:
    void fullRun_data();
    void fullRun();
    void pauseAndContinue_data();
    void pauseAndContinue();
    void abortThenStart_data();
    void abortThenStart();
    void lockCoversEveryOtherWindow();
    void closeDuringRun_data();
    void closeDuringRun();
    void closePausedWindow_data();
    void closePausedWindow();
    void quitDuringRun();
    void quitDuringRunAsksWithEachDocumentsState_data();
    void quitDuringRunAsksWithEachDocumentsState();
};

void TestRunControl::fullRun_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("runningText");
    QTest::addColumn<QSize>("design");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("monochrome") << "mnuMono" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("colour") << "mnuColor" << kDotRunning << QSize(120, 90) << QSize(119, 89);
    QTest::newRow("colour field") << "mnuFieldColor" << kFieldRunning << QSize(120, 90) << QSize(100, 80);
}

void TestRunControl::fullRun()
{
    QFETCH(QString, menu);
    QFETCH(QString, runningText);
    QFETCH(QSize, design);
    QFETCH(QSize, picture);
    App app;
    DocumentWindow *other = app.newMono();
    app.window->menuAction(menu)->trigger();
    DocumentWindow *document = app.window->activeDocument();
    countSeeds(document);
    const bool field = menu == QLatin1String("mnuFieldColor");
    const QImage designImage = designPicture(design.width(), design.height());
    const QImage fieldImage = field ? fieldPicture(100, 80) : QImage();
    app.putDesign(document, designImage, fieldImage);

    QString seenText, seenSize, seenControls;
    bool otherLocked = false;
    RowHook hook(*app.window, 0, 20, [&] {
        seenText = app.window->statusPanel(1)->text();
        seenSize = app.window->statusPanel(5)->text();
        seenControls = describe(*app.window);
        otherLocked = !app.window->isDocumentWindowEnabled(other);
        QVERIFY(app.shared().Converting);
        QVERIFY(app.window->isDocumentWindowEnabled(document));
        QVERIFY(!app.window->slider(0)->isEnabled());
        QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuWindow")));
        QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuNew")));
    });
    QVERIFY(app.startAndWait());
    QVERIFY(hook.fired());
    QCOMPARE(seenText, runningText);
    QCOMPARE(seenSize, QStringLiteral("%1 \u00d7 %2").arg(picture.width()).arg(picture.height()));
    QCOMPARE(seenControls, expected(kRunning));
    QVERIFY(otherLocked);

    const QImage result = document->picAfter()->image();
    QCOMPARE(result.size(), picture);
    QVERIFY(document->picAfter()->isVisibleTo(document));
    if (field)
        QVERIFY(result == referenceField(designImage, fieldImage, {}));
    else
        QVERIFY(result == referenceDots(designImage, {{0, -1, 1, dotParams(menu == QLatin1String("mnuMono"))}}));

    // the end of the run
    QVERIFY(!app.shared().Converting);
    QVERIFY(!document->holdsRun());
    QCOMPARE(document->DotResumeRow + document->FieldResumeRow, 0);
    QVERIFY(app.window->isDocumentWindowEnabled(other));
    QCOMPARE(describe(*app.window), expected(kEnded));
    QCOMPARE(app.window->statusPanel(1)->text(), document->lblIniName());
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSaveStereo")));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QVERIFY(app.window->button(4)->isEnabled());
    QVERIFY(app.window->slider(0)->isEnabled());
    QCOMPARE(app.window->slider(2)->isEnabled(), !field);
    QCOMPARE(iniValue(document->lblIniName(), "mnuConvStart"), QStringLiteral("True"));
}

void TestRunControl::pauseAndContinue_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("pausedText");
    QTest::newRow("random dot") << "mnuMono" << kDotPaused;
    QTest::newRow("colour field") << "mnuFieldColor" << kFieldPaused;
}

void TestRunControl::pauseAndContinue()
{
    QFETCH(QString, menu);
    QFETCH(QString, pausedText);
    const bool field = menu == QLatin1String("mnuFieldColor");
    App app;
    DocumentWindow *other = app.newColour();
    app.window->menuAction(menu)->trigger();
    DocumentWindow *document = app.window->activeDocument();
    countSeeds(document);
    const QImage design = designPicture(140, 100);
    const QImage fieldImage = field ? fieldPicture(139, 99) : QImage();
    app.putDesign(document, design, fieldImage);

    // 中断 chosen while row 57 is worked on: rows up to 57 are complete
    RowHook pause(*app.window, 0, 58, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QVERIFY(pause.fired());
    QCOMPARE(field ? document->FieldResumeRow : document->DotResumeRow, 58);
    QCOMPARE(describe(*app.window), expected(kPaused));
    QCOMPARE(app.window->statusPanel(1)->text(), pausedText);
    QVERIFY(app.shared().Converting);
    QVERIFY(!app.shared().PauseRequested);
    QVERIFY(document->holdsRun());
    QVERIFY(!app.window->isDocumentWindowEnabled(other));
    QVERIFY(!app.window->slider(0)->isEnabled());
    QVERIFY(!app.window->caption(0)->isEnabled());
    const QImage paused = document->picAfter()->image();
    QVERIFY(!rowIsBlank(paused, 57));
    QVERIFY(rowIsBlank(paused, 58));
    QVERIFY(rowIsBlank(paused, paused.height() - 1));

    // the continuation reads the parameters afresh
    lumivex::document::iniWriteString(document->lblIniName(), QString::fromLatin1(lumivex::document::kSection),
                                      QStringLiteral("KurikaesiHaba"), QStringLiteral("50"));
    QString seenControls;
    RowHook look(*app.window, 58, 60, [&] { seenControls = describe(*app.window); });
    QVERIFY(app.startAndWait());
    QCOMPARE(seenControls, expected(kRunning));
    QCOMPARE(describe(*app.window), expected(kEnded));
    QVERIFY(app.window->isDocumentWindowEnabled(other));
    const QImage result = document->picAfter()->image();
    if (field) {
        // no randomness: the rows after the pause are those of a run with the new width
        engine::FieldParams narrow;
        narrow.kurikaesi = 50;
        const QImage before = referenceField(design, fieldImage, {});
        const QImage after = referenceField(design, fieldImage, narrow);
        for (int y = 0; y < result.height(); ++y)
            QVERIFY2(result.copy(0, y, result.width(), 1) == (y < 58 ? before : after).copy(0, y, result.width(), 1),
                     qPrintable(QString::number(y)));
    } else {
        QVERIFY(result == referenceDots(design, {{0, 58, 1, dotParams(true)}, {58, -1, 2, dotParams(true, 50)}}));
    }
}

void TestRunControl::abortThenStart_data()
{
    QTest::addColumn<bool>("elsewhere");
    QTest::newRow("start in another window") << true;
    QTest::newRow("start in the same window") << false;
}

void TestRunControl::abortThenStart()
{
    QFETCH(bool, elsewhere);
    App app;
    DocumentWindow *b = app.newMono();
    DocumentWindow *a = app.newMono();
    countSeeds(a);
    countSeeds(b);
    const QImage design = designPicture(90, 70);
    app.activate(b);
    app.putDesign(b, design);
    app.activate(a);
    app.putDesign(a, design);

    RowHook pause(*app.window, 0, 30, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QCOMPARE(a->DotResumeRow, 30);
    app.trigger("mnuConvExit");

    // the abort sequence
    QVERIFY(app.shared().PauseRequested);
    QVERIFY(app.shared().AbortRequested);
    QVERIFY(!app.shared().Converting);
    QVERIFY(!a->holdsRun());
    QVERIFY(a->picAfter()->isHidden());
    QVERIFY(a->picAfter()->image().isNull());
    QCOMPARE(a->picAfter()->size(), QSize(1, 1));
    QCOMPARE(a->DotResumeRow, 30);
    QVERIFY(app.window->isDocumentWindowEnabled(b));
    QCOMPARE(describe(*app.window), expected(kEnded));
    QCOMPARE(app.window->statusPanel(1)->text(), a->lblIniName());
    QVERIFY(app.window->statusPanel(5)->text().isEmpty());
    QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QVERIFY(!app.window->button(4)->isEnabled());
    QVERIFY(app.window->slider(0)->isEnabled());

    if (elsewhere) {
        // B's start takes the pending abort; A later continues at its row into its emptied pane
        app.activate(b);
        QVERIFY(app.startAndWait());
        QVERIFY(!app.shared().AbortRequested);
        QVERIFY(!app.shared().PauseRequested);
        QVERIFY(b->picAfter()->image() == referenceDots(design, {{0, -1, 1, dotParams(true)}}));
        app.activate(a);
        QVERIFY(app.startAndWait());
        const QImage result = a->picAfter()->image();
        QCOMPARE(result.size(), QSize(89, 69));
        const QImage reference = referenceDots(design, {{0, 30, 1, dotParams(true)}, {30, -1, 2, dotParams(true)}});
        for (int y = 0; y < result.height(); ++y) {
            if (y < 30)
                QVERIFY2(rowIsBlank(result, y), qPrintable(QString::number(y)));
            else
                QVERIFY2(result.copy(0, y, 89, 1) == reference.copy(0, y, 89, 1), qPrintable(QString::number(y)));
        }
    } else {
        // the next start begins afresh
        RowHook look(*app.window, 0, 1, [&] { QVERIFY(rowIsBlank(a->picAfter()->image(), 40)); });
        QVERIFY(app.startAndWait());
        QVERIFY(look.fired());
        QVERIFY(!app.shared().AbortRequested);
        QVERIFY(a->picAfter()->image() == referenceDots(design, {{0, 30, 1, dotParams(true)}, {0, -1, 2, dotParams(true)}}));
    }
    QVERIFY(a->picAfter()->isVisibleTo(a));
}

void TestRunControl::lockCoversEveryOtherWindow()
{
    App app;
    DocumentWindow *b = app.newMono();
    DocumentWindow *c = app.newField();
    DocumentWindow *a = app.newMono();
    app.putDesign(a, designPicture(60, 50));
    app.window->setDocumentWindowEnabled(c, false);  // disabled for a reason of its own

    bool locked = false;
    RowHook look(*app.window, 0, 10, [&] {
        locked = !app.window->isDocumentWindowEnabled(b) && !app.window->isDocumentWindowEnabled(c)
            && app.window->isDocumentWindowEnabled(a) && app.window->isEnabled();
    });
    RowHook pause(*app.window, 0, 20, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QVERIFY(locked);
    QVERIFY(!app.window->isDocumentWindowEnabled(b));
    QVERIFY(!app.window->isDocumentWindowEnabled(c));
    QVERIFY(!App::frameOf(b)->isEnabled());

    // no other document can be activated meanwhile
    app.activate(b);
    QCOMPARE(app.window->activeDocument(), a);

    QVERIFY(app.startAndWait());
    for (DocumentWindow *document : {a, b, c})
        QVERIFY(app.window->isDocumentWindowEnabled(document));
}

void TestRunControl::closeDuringRun_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<bool>("alone");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("new, yes, save dialog cancelled") << false << false << Answer::Yes << false;
    QTest::newRow("new, no") << false << false << Answer::No << true;
    QTest::newRow("new, cancel") << false << false << Answer::Cancel << false;
    QTest::newRow("project, yes") << true << false << Answer::Yes << true;
    QTest::newRow("project, no") << true << false << Answer::No << true;
    QTest::newRow("last window, no") << false << true << Answer::No << true;
    QTest::newRow("last window, cancel") << false << true << Answer::Cancel << false;
}

void TestRunControl::closeDuringRun()
{
    QFETCH(bool, project);
    QFETCH(bool, alone);
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    App app;
    QTemporaryDir dir;
    DocumentWindow *other = alone ? nullptr : app.newColour();
    DocumentWindow *document = nullptr;
    if (project) {
        const QString path = dir.filePath(QStringLiteral("scene.lvd"));
        lumivex::document::writeDocState(path, {});
        document = app.openProject(path, QStringLiteral("scene"), QStringLiteral("RandomDot"));
        app.shared().ColourWord = testfiles::colourWord(QStringLiteral("Mono"));
    } else {
        document = app.newMono();
    }
    countSeeds(document);
    const QImage design = designPicture(80, 200);
    app.putDesign(document, design);
    QPointer<DocumentWindow> watched = document;

    app.prompts.answers = {answer};
    RowHook closeBox(*app.window, 0, 25, [&] { App::frameOf(document)->close(); });
    QVERIFY(app.startAndWait());
    QVERIFY(closeBox.fired());
    QTest::qWait(10);

    // whatever the answer, the run has stopped and the application is usable
    QVERIFY(!app.shared().Converting);
    QCOMPARE(watched.isNull(), closed);
    if (other)
        QVERIFY(app.window->isDocumentWindowEnabled(other));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuMono")));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuOpen")));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuWindow")));
    QVERIFY(app.window->button(1)->isEnabled());
    QCOMPARE(app.window->menuAction(QStringLiteral("mnuConvStart"))->text(), QStringLiteral("開始"));

    if (closed) {
        QCOMPARE(app.documents().size(), alone ? 0 : 1);
        if (alone) {
            QVERIFY(!app.window->slider(0)->isEnabled());
            QVERIFY(app.window->statusPanel(1)->text().isEmpty());
        } else {
            // the remaining document is the active one, with its own state
            QCOMPARE(app.window->activeDocument(), other);
            QCOMPARE(app.shared().StateFilePath, other->lblIniName());
            QVERIFY(app.window->slider(0)->isEnabled());
            QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuClose")));
        }
        return;
    }

    // refused: the window stays usable and a new start begins afresh
    QVERIFY(!document->holdsRun());
    QCOMPARE(document->DotResumeRow, 0);
    QCOMPARE(describe(*app.window), expected(kEnded));
    QVERIFY(app.window->slider(0)->isEnabled());
    QCOMPARE(app.window->statusPanel(1)->text(), document->lblIniName());
    bool cleared = false;
    RowHook look(*app.window, 0, 0, [&] { cleared = rowIsBlank(document->picAfter()->image(), 10); });
    QVERIFY(app.startAndWait());
    QVERIFY(cleared);
    QVERIFY(document->picAfter()->image() == referenceDots(design, {{0, 25, 1, dotParams(true)}, {0, -1, 2, dotParams(true)}}));
    QVERIFY(!app.shared().Converting);
}

void TestRunControl::closePausedWindow_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no") << Answer::No << true;
    QTest::newRow("cancel") << Answer::Cancel << false;
}

void TestRunControl::closePausedWindow()
{
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    App app;
    DocumentWindow *other = app.newField();
    DocumentWindow *document = app.newMono();
    countSeeds(document);
    const QImage design = designPicture(70, 60);
    app.putDesign(document, design);
    RowHook pause(*app.window, 0, 10, [&] { app.trigger("mnuConvStop"); });
    QVERIFY(app.startAndWait());
    QVERIFY(document->holdsRun());

    QPointer<DocumentWindow> watched = document;
    app.prompts.answers = {answer};
    App::frameOf(document)->close();
    QTest::qWait(10);
    QCOMPARE(watched.isNull(), closed);
    if (closed) {
        QVERIFY(!app.shared().Converting);
        QVERIFY(app.window->isDocumentWindowEnabled(other));
        QCOMPARE(app.window->activeDocument(), other);
        QCOMPARE(app.shared().StateFilePath, other->lblIniName());
        QCOMPARE(app.window->menuAction(QStringLiteral("mnuConvStart"))->text(), QStringLiteral("開始"));
        QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuMono")));
        QVERIFY(!app.window->slider(2)->isEnabled());  // the colour-field document's own state
        QVERIFY(app.window->slider(0)->isEnabled());
        return;
    }
    // still paused; 継続 goes on at the paused row
    QVERIFY(app.shared().Converting);
    QVERIFY(!app.window->isDocumentWindowEnabled(other));
    QCOMPARE(describe(*app.window), expected(kPaused));
    QVERIFY(app.startAndWait());
    QVERIFY(document->picAfter()->image() == referenceDots(design, {{0, 10, 1, dotParams(true)}, {10, -1, 2, dotParams(true)}}));
    QVERIFY(app.window->isDocumentWindowEnabled(other));
}

void TestRunControl::quitDuringRun()
{
    // Quitting while a conversion runs: the converting window's answer decides as for any
    // other window, and an accepted close does not stop the quit.
    App app;
    DocumentWindow *first = app.newField();
    DocumentWindow *document = app.newMono();
    const QString firstPath = first->lblIniName();
    const QString path = document->lblIniName();
    app.putDesign(document, designPicture(60, 300));
    app.prompts.answers = {Answer::No, Answer::No};
    bool quit = false;
    RowHook end(*app.window, 0, 15, [&] { quit = app.window->close(); });
    QVERIFY(app.startAndWait());
    QVERIFY(end.fired());
    QVERIFY(quit);
    QVERIFY(!app.window->isVisible());
    QVERIFY(!app.shared().Converting);
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(firstPath));
    QTest::qWait(10);
    QVERIFY(app.documents().isEmpty());
}

void TestRunControl::quitDuringRunAsksWithEachDocumentsState_data()
{
    QTest::addColumn<bool>("paused");
    QTest::addColumn<Answer>("answer");  // for the document in the background
    QTest::newRow("paused, yes") << true << Answer::Yes;
    QTest::newRow("paused, cancel") << true << Answer::Cancel;
    QTest::newRow("running, yes") << false << Answer::Yes;
    QTest::newRow("running, cancel") << false << Answer::Cancel;
}

void TestRunControl::quitDuringRunAsksWithEachDocumentsState()
{
    // The windows are not switched while a run holds the lock, yet a Yes for a document in the
    // background must save that document; a refusal gives the run's window its controls back.
    QFETCH(bool, paused);
    QFETCH(Answer, answer);
    App app;
    QTemporaryDir dir;
    QPointer<DocumentWindow> background = app.newField();  // asked first
    DocumentWindow *document = app.newMono();
    countSeeds(document);
    app.window->setSliderValue(0, 90);
    const QImage design = designPicture(60, 200);
    app.putDesign(document, design);
    const QString saved = dir.filePath(QStringLiteral("field.lvd"));
    app.prompts.answers = {answer, Answer::Cancel};
    app.prompts.files = {saved};

    bool quit = true;
    if (paused) {
        RowHook pause(*app.window, 0, 10, [&] { app.trigger("mnuConvStop"); });
        QVERIFY(app.startAndWait());
        quit = app.window->close();
    } else {
        RowHook hook(*app.window, 0, 15, [&] {
            quit = app.window->close();
            // back in the run, before its next row
            QCOMPARE(describe(*app.window), expected(kRunning));
            QVERIFY(!app.window->slider(0)->isEnabled());
            QCOMPARE(app.shared().StateFilePath, document->lblIniName());
        });
        QVERIFY(app.startAndWait());
        QVERIFY(hook.fired());
    }
    QVERIFY(!quit);
    QCOMPARE(app.prompts.asked.at(0).text, QStringLiteral("「Vexart1」を保存しますか？"));
    if (answer == Answer::Yes) {
        QCOMPARE(iniValue(saved, "FileNamePath"), saved);
        QCOMPARE(iniValue(saved, "StereoName"), QStringLiteral("Field"));
        QCOMPARE(iniValue(saved, "KurikaesiHaba"), QStringLiteral("70"));
        QCOMPARE(iniValue(saved, "Mitudo"), QStringLiteral("0"));
        QCOMPARE(app.prompts.asked.last().text, QStringLiteral("「Vexart2」を保存しますか？"));
    }
    QCOMPARE(app.window->activeDocument(), document);
    QCOMPARE(app.shared().StateFilePath, document->lblIniName());
    QCOMPARE(app.shared().ModeWord.text(), QStringLiteral("RandomDot"));
    QCOMPARE(iniValue(document->lblIniName(), "KurikaesiHaba"), QStringLiteral("90"));
    if (paused) {
        QVERIFY(app.shared().Converting);
        QCOMPARE(describe(*app.window), expected(kPaused));
        QVERIFY(!app.window->slider(0)->isEnabled());
        if (background)
            QVERIFY(!app.window->isDocumentWindowEnabled(background));
        QCOMPARE(app.window->statusPanel(1)->text(), kDotPaused);
        QVERIFY(app.startAndWait());
    }
    // the run ends as any other, with the document's own states
    QVERIFY(!app.shared().Converting);
    QCOMPARE(describe(*app.window), expected(kEnded));
    QVERIFY(app.window->slider(0)->isEnabled());
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuMono")));
    QCOMPARE(app.window->slider(0)->value(), 90);
    if (answer == Answer::Yes)
        QCOMPARE(app.documents(), QList<DocumentWindow *>{document});
    else
        QVERIFY(app.window->isDocumentWindowEnabled(background));
}

QTEST_MAIN(TestRunControl)
#include "tst_runcontrol.moc"

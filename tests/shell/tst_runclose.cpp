// Closing a document window whose conversion is under way or paused, and quitting meanwhile:
// whatever the answers, the run stops or goes on as it should and each document keeps its own
// state.
#include "apptest.h"
#include "runchecks.h"

#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>

using namespace apptest;
using namespace runchecks;

class TestRunClose : public QObject
{
    Q_OBJECT

private slots:
    void closeDuringRun_data();
    void closeDuringRun();
    void closePausedWindow_data();
    void closePausedWindow();
    void quitDuringRun();
    void quitDuringRunAsksWithEachDocumentsState_data();
    void quitDuringRunAsksWithEachDocumentsState();
};

void TestRunClose::closeDuringRun_data()
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

void TestRunClose::closeDuringRun()
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

void TestRunClose::closePausedWindow_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no") << Answer::No << true;
    QTest::newRow("cancel") << Answer::Cancel << false;
}

void TestRunClose::closePausedWindow()
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

void TestRunClose::quitDuringRun()
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

void TestRunClose::quitDuringRunAsksWithEachDocumentsState_data()
{
    QTest::addColumn<bool>("paused");
    QTest::addColumn<Answer>("answer");  // for the document in the background
    QTest::newRow("paused, yes") << true << Answer::Yes;
    QTest::newRow("paused, cancel") << true << Answer::Cancel;
    QTest::newRow("running, yes") << false << Answer::Yes;
    QTest::newRow("running, cancel") << false << Answer::Cancel;
}

void TestRunClose::quitDuringRunAsksWithEachDocumentsState()
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

QTEST_MAIN(TestRunClose)
#include "tst_runclose.moc"

// Command posting and the document window's dispatcher: one run per posting, the newest posting
// wins, the word goes to the window active when it was posted.
#include "apptest.h"

#include <QDialog>
#include <QLabel>

using namespace apptest;

class TestDispatch : public QObject
{
    Q_OBJECT

private slots:
    void newestPostingWins_data();
    void newestPostingWins();
    void commandWordIsKept();
    void startTwiceStartsOnce();
    void cancelledCloseLeavesTimerIdle();
    void wordGoesToWindowActiveAtPosting();
    void postingWithoutDocumentDoesNothing();
    void postingWhileADialogHasTheFocus();
    void pasteWithoutSelectedPaneRunsNothing();
    void wizardRelayOpensOneFieldDocument();
};

void TestDispatch::newestPostingWins_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("saved");
    QTest::newRow("close, then save") << QStringList{"MDImnuClose", "MDImnuSave"} << 0 << true;
    QTest::newRow("save, then close") << QStringList{"MDImnuSave", "MDImnuClose"} << 1 << false;
    QTest::newRow("close twice") << QStringList{"MDImnuClose", "MDImnuClose"} << 1 << false;
    QTest::newRow("save") << QStringList{"MDImnuSave"} << 0 << true;
    QTest::newRow("word in another case") << QStringList{"mdimnusave"} << 0 << false;
    QTest::newRow("unknown word") << QStringList{"MDImnuSave ", "Nothing"} << 0 << false;
}

void TestDispatch::newestPostingWins()
{
    QFETCH(QStringList, words);
    QFETCH(int, questions);
    QFETCH(bool, saved);
    App app;
    DocumentWindow *document = app.newMono();
    app.window->setMenuEnabled(QStringLiteral("mnuSave"), true);  // recorded only by a save
    for (const QString &word : words)
        app.window->PostCommand(testfiles::commandWord(word));
    QCOMPARE(app.prompts.asked.size(), 0);  // nothing runs inside the posting
    QVERIFY(App::waitForTick(document));
    QTest::qWait(60);
    QCOMPARE(app.prompts.asked.size(), questions);
    QCOMPARE(iniValue(document->lblIniName(), "mnuSave"), saved ? QStringLiteral("True") : QStringLiteral("False"));
    QVERIFY(!document->Timer1()->isActive());
    QCOMPARE(app.shared().CommandWord.text(), words.last());
}

void TestDispatch::commandWordIsKept()
{
    App app;
    DocumentWindow *document = app.newMono();
    app.window->setMenuEnabled(QStringLiteral("mnuSaveDesign"), true);
    app.window->setMenuEnabled(QStringLiteral("mnuSaveGazou"), true);
    app.trigger("mnuSaveDesign");
    QCOMPARE(app.shared().CommandWord.text(), QStringLiteral("MDImnuSaveDesign"));
    QVERIFY(App::waitForTick(document));
    QCOMPARE(app.shared().CommandWord.text(), QStringLiteral("MDImnuSaveDesign"));
}

void TestDispatch::startTwiceStartsOnce()
{
    App app;
    DocumentWindow *document = app.newMono();
    int runs = 0;
    document->setSeedSource([&runs] { return static_cast<std::uint64_t>(++runs); });
    app.putDesign(document, designPicture(64, 40));
    app.trigger("mnuConvStart");
    app.trigger("mnuConvStart");
    QVERIFY(App::waitForTick(document));
    QTest::qWait(100);
    QCOMPARE(runs, 1);
    QVERIFY(!app.shared().Converting);
    QCOMPARE(document->picAfter()->image().size(), QSize(63, 39));
}

void TestDispatch::cancelledCloseLeavesTimerIdle()
{
    App app;
    DocumentWindow *document = app.newMono();
    app.prompts.answers = {Answer::Cancel};
    app.trigger("mnuClose");
    QVERIFY(document->Timer1()->isActive());
    QVERIFY(App::waitForTick(document));
    QCOMPARE(app.prompts.asked.size(), 1);
    QCOMPARE(app.documents(), QList<DocumentWindow *>{document});
    QCOMPARE(app.window->activeDocument(), document);
    QVERIFY(!document->Timer1()->isActive());
    QCOMPARE(app.shared().CommandWord.text(), QStringLiteral("MDImnuClose"));

    // and a later close goes through
    app.prompts.answers = {Answer::No};
    app.trigger("mnuClose");
    QVERIFY(App::waitForTick(document));
    QTest::qWait(1);
    QVERIFY(app.documents().isEmpty());
}

void TestDispatch::wordGoesToWindowActiveAtPosting()
{
    App app;
    DocumentWindow *first = app.newMono();
    DocumentWindow *second = app.newColour();
    app.prompts.answers = {Answer::No};
    app.trigger("mnuClose");
    app.activate(first);  // before the tick
    QCOMPARE(app.window->activeDocument(), first);
    QVERIFY(App::waitForTick(second));
    QTest::qWait(1);
    QCOMPARE(app.prompts.asked.size(), 1);
    QCOMPARE(app.prompts.asked.at(0).text, QStringLiteral("「Vexart2」を保存しますか？"));
    QCOMPARE(app.documents(), QList<DocumentWindow *>{first});
    QVERIFY(!first->Timer1()->isActive());
}

void TestDispatch::postingWithoutDocumentDoesNothing()
{
    App app;
    app.window->PostCommand(testfiles::commandWord(QStringLiteral("MDImnuClose")));
    QTest::qWait(100);
    QVERIFY(app.prompts.asked.isEmpty());
    QCOMPARE(app.shared().CommandWord.text(), QStringLiteral("MDImnuClose"));
}

void TestDispatch::postingWhileADialogHasTheFocus()
{
    // A modeless tool window or a dialog of another kind may hold the focus when a command is
    // given (the wizard's relay posts right after the wizard closes): the word still goes to
    // the document the main window shows.
    App app;
    app.newMono();
    DocumentWindow *document = app.newColour();
    QDialog dialog(app.window.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(app.window->activeDocument(), document);
    app.prompts.answers = {Answer::Cancel};
    app.window->PostCommand(testfiles::commandWord(QStringLiteral("MDImnuClose")));
    QVERIFY(document->Timer1()->isActive());
    QVERIFY(App::waitForTick(document));
    QCOMPARE(app.prompts.asked.size(), 1);
    QCOMPARE(app.prompts.asked.at(0).text, QStringLiteral("「Vexart2」を保存しますか？"));
}

void TestDispatch::pasteWithoutSelectedPaneRunsNothing()
{
    // With no pane selected there is no insertion word to post; the previous command must not
    // run a second time.
    App app;
    DocumentWindow *document = app.newMono();
    app.window->PostCommand(testfiles::commandWord(QStringLiteral("MDImnuSave")));
    QVERIFY(App::waitForTick(document));
    app.window->setMenuEnabled(QStringLiteral("mnuSave"), true);
    app.shared().InsertSource = testfiles::sourceWord(QStringLiteral("FromFile"));
    app.window->setMenuEnabled(QStringLiteral("mnuPaste"), true);
    app.trigger("mnuPaste");
    QVERIFY(!document->Timer1()->isActive());
    QTest::qWait(100);
    QCOMPARE(iniValue(document->lblIniName(), "mnuSave"), QStringLiteral("False"));
}

void TestDispatch::wizardRelayOpensOneFieldDocument()
{
    App app;
    app.newMono();
    app.shared().ColourWord = testfiles::colourWord(QStringLiteral("Mono"));
    app.window->timForWiz()->start(50);
    QTRY_VERIFY(!app.window->timForWiz()->isActive());
    QCOMPARE(app.documents().size(), 2);
    DocumentWindow *created = app.window->activeDocument();
    QVERIFY(App::waitForTick(created));
    QCOMPARE(created->caption(), QStringLiteral("Vexart2"));
    QCOMPARE(created->lblStereoName().text(), QStringLiteral("Field"));
    QCOMPARE(created->iconId(), 104);
    QCOMPARE(app.shared().CommandWord.text(), QStringLiteral("FromWizard"));
    QCOMPARE(app.shared().DocumentCounter, 3);
    QVERIFY(!created->Timer1()->isActive());
}

QTEST_MAIN(TestDispatch)
#include "tst_dispatch.moc"

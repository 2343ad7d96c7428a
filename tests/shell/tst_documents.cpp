// Document windows in the main window: new documents and their state files, the counter,
// activation and deactivation, closing with the save question, and quitting.
#include "apptest.h"

#include <QTemporaryDir>

#include "prompts/prompts.h"
#include "document/appsettings.h"
#include "document/docstate.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QSlider>

using namespace apptest;
using lumivex::document::DocState;

namespace {

/// What a document's state file holds right after a new-document command.
QStringList newDocumentLines(const QString &path, const QString &mode, const QString &colour)
{
    const bool field = mode == QLatin1String("Field");
    DocState state;
    state.stereoName = testfiles::modeWord(mode);
    state.monoOrColor = testfiles::colourWord(colour);
    state.mitudo = field ? 0 : 30;
    for (const char *name : {"mnuSave", "mnuSaveGazou", "mnuSaveDesign", "mnuSaveField", "mnuSaveStereo",
                             "mnuPrint", "mnuCut", "mnuCopy", "mnuPaste", "mnuClear", "mnuConvStart",
                             "mnuConvStop", "mnuConvExit"})
        state.controls.set(*lumivex::document::controlNamed(QString::fromLatin1(name)), false);
    state.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuInsField")), field);
    for (int index : {3, 4, 6, 7, 8, 11, 12, 13})
        state.controls.set(lumivex::document::buttonControl(index), false);
    state.controls.set(lumivex::document::captionControl(2), !field);
    state.controls.set(lumivex::document::sliderControl(2), !field);
    return testfiles::stateLines(state, path);
}

} // namespace

class TestDocuments : public QObject
{
    Q_OBJECT

private slots:
    void newDocumentAndItsStateFile_data();
    void newDocumentAndItsStateFile();
    void counterNeverReusesNumbers();
    void openedDocumentKeepsItsProjectFile();
    void firstActivationIsQuiet();
    void newWindowTakesOverTheStateFile();
    void switchingWritesOneFileAndReadsTheOther();
    void focusToADialogIsNoSwitch();
    void closeBranches_data();
    void closeBranches();
    void closingTheLastWindow_data();
    void closingTheLastWindow();
    void quitStopsAtCancel();
    void quitDeletesOwnStateFiles();
    void quitSavesEachDocumentsOwnState();
};

void TestDocuments::newDocumentAndItsStateFile_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<int>("icon");
    QTest::newRow("F5 monochrome") << "mnuMono" << "RandomDot" << "Mono" << 101;
    QTest::newRow("F4 colour") << "mnuColor" << "RandomDot" << "Color" << 103;
    QTest::newRow("F3 colour field") << "mnuFieldColor" << "Field" << "" << 104;
}

void TestDocuments::newDocumentAndItsStateFile()
{
    QFETCH(QString, menu);
    QFETCH(QString, mode);
    QFETCH(QString, colour);
    QFETCH(int, icon);
    App app;
    const QString folder = app.window->stateFolder();
    QVERIFY(folder.startsWith(lumivex::document::programFolder()));

    for (int number = 1; number <= 2; ++number) {
        app.window->menuAction(menu)->trigger();
        DocumentWindow *document = app.window->activeDocument();
        QVERIFY(document);
        const QString caption = QStringLiteral("Vexart%1").arg(number);
        const QString path = folder + QLatin1Char('/') + caption + QStringLiteral(".tmp");
        QCOMPARE(document->caption(), caption);
        QCOMPARE(App::frameOf(document)->windowTitle(), caption);
        QCOMPARE(document->iconId(), icon);
        QCOMPARE(document->lblIniName(), path);
        QCOMPARE(document->lblOldIniName(), path);
        QCOMPARE(document->lblStereoName().text(), mode);
        QCOMPARE(app.shared().StateFilePath, path);
        QCOMPARE(app.window->statusPanel(1)->text(), path);
        QCOMPARE(fileLines(path), newDocumentLines(path, mode, colour));
    }
    QCOMPARE(app.shared().DocumentCounter, 3);
    QVERIFY(app.shared().DocumentOrigin == lumivex::document::Origin::None);
}

void TestDocuments::counterNeverReusesNumbers()
{
    App app;
    app.newMono();
    DocumentWindow *second = app.newColour();
    app.newField();
    app.prompts.answers = {Answer::No};
    QVERIFY(App::frameOf(second)->close());
    QTest::qWait(1);
    QCOMPARE(app.documents().size(), 2);
    QCOMPARE(app.newMono()->caption(), QStringLiteral("Vexart4"));

    // an opened document does not take a number
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("scene.lvd"));
    lumivex::document::writeDocState(project, DocState());
    app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    QCOMPARE(app.shared().DocumentCounter, 5);
    QCOMPARE(app.newField()->caption(), QStringLiteral("Vexart5"));
    QVERIFY(!QFile::exists(app.window->stateFolder() + QStringLiteral("/Vexart2.tmp")));
}

void TestDocuments::openedDocumentKeepsItsProjectFile()
{
    App app;
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("scene.lvd"));
    DocState stored;
    stored.stereoName = testfiles::modeWord(QStringLiteral("Field"));
    lumivex::document::writeDocState(project, stored);
    DocumentWindow *document = app.openProject(project, QStringLiteral("scene"), QStringLiteral("Field"));
    QVERIFY(document);
    QCOMPARE(document->caption(), QStringLiteral("scene"));
    QCOMPARE(document->lblIniName(), project);
    QCOMPARE(document->lblOldIniName(), project);
    QCOMPARE(document->iconId(), 104);
    QCOMPARE(app.window->statusPanel(1)->text(), project);
    QVERIFY(QDir(app.window->stateFolder()).entryList({QStringLiteral("*.tmp")}, QDir::Files).isEmpty());
    QCOMPARE(app.shared().DocumentCounter, 1);
}

void TestDocuments::firstActivationIsQuiet()
{
    App app;
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("scene.lvd"));
    DocState stored;
    stored.stereoName = testfiles::modeWord(QStringLiteral("RandomDot"));
    stored.monoOrColor = testfiles::colourWord(QStringLiteral("Mono"));
    stored.kurikaesiHaba = 120;
    lumivex::document::writeDocState(project, stored);

    // The open command has already applied the file; the window's first activation is skipped.
    app.window->slider(0)->setValue(90);
    DocumentWindow *opened = app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    QVERIFY(opened);
    QVERIFY(!opened->SkipNextActivate);
    QCOMPARE(app.window->slider(0)->value(), 120);

    // switching away and back does read it
    DocumentWindow *other = app.newMono();
    QCOMPARE(app.window->slider(0)->value(), 70);
    app.activate(opened);
    QCOMPARE(app.window->activeDocument(), opened);
    QCOMPARE(app.window->slider(0)->value(), 120);
    QCOMPARE(app.shared().StateFilePath, project);
    app.activate(other);
    QCOMPARE(app.window->slider(0)->value(), 70);
}

void TestDocuments::newWindowTakesOverTheStateFile()
{
    // A window created while another is active lets that one write its own state into its own
    // file first; the new window's file holds the new document only.
    App app;
    DocumentWindow *first = app.newMono();
    const QString firstPath = first->lblIniName();
    app.window->setMenuEnabled(QStringLiteral("mnuSave"), true);  // not yet recorded anywhere
    app.window->setSliderValue(0, 99);

    DocumentWindow *second = app.newColour();
    QCOMPARE(iniValue(firstPath, "mnuSave"), QStringLiteral("True"));
    QCOMPARE(iniValue(second->lblIniName(), "FileNamePath"), second->lblIniName());
    QCOMPARE(iniValue(second->lblIniName(), "MONOorCOLOR"), QStringLiteral("Color"));
    QCOMPARE(iniValue(second->lblIniName(), "mnuSave"), QStringLiteral("False"));
    QCOMPARE(iniValue(second->lblIniName(), "KurikaesiHaba"), QStringLiteral("70"));

    app.activate(first);
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSave")));
    QCOMPARE(app.window->slider(0)->value(), 99);
    QCOMPARE(app.shared().ColourWord.text(), QStringLiteral("Mono"));
}

void TestDocuments::switchingWritesOneFileAndReadsTheOther()
{
    App app;
    DocumentWindow *a = app.newMono();
    DocumentWindow *b = app.newField();
    app.activate(a);

    // document A: repeat width 120, 上書き保存 usable, the stereo image shown
    app.window->slider(0)->setValue(120);
    app.window->setMenuEnabled(QStringLiteral("mnuSave"), true);
    app.window->setButtonEnabled(3, true);
    app.shared().DesignImagePath = QStringLiteral("/pictures/a.bmp");

    app.activate(b);
    const QString aPath = a->lblIniName();
    QCOMPARE(fileLines(aPath).size(), DocState::kKeyCount);
    QCOMPARE(iniValue(aPath, "KurikaesiHaba"), QStringLiteral("120"));
    QCOMPARE(iniValue(aPath, "mnuSave"), QStringLiteral("True"));
    QCOMPARE(iniValue(aPath, "knButtons3"), QStringLiteral("True"));
    QCOMPARE(iniValue(aPath, "PicDesignPath"), QStringLiteral("/pictures/a.bmp"));
    QCOMPARE(iniValue(aPath, "FileNamePath"), aPath);

    // the main window shows B
    QCOMPARE(app.shared().StateFilePath, b->lblIniName());
    QCOMPARE(app.window->statusPanel(1)->text(), b->lblIniName());
    QCOMPARE(app.shared().ModeWord.text(), QStringLiteral("Field"));
    QVERIFY(app.shared().DesignImagePath.isEmpty());
    QCOMPARE(app.window->slider(0)->value(), 70);
    QCOMPARE(app.window->slider(2)->value(), 0);
    QVERIFY(!app.window->slider(2)->isEnabled());
    QVERIFY(!app.window->caption(2)->isEnabled());
    QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuSave")));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuInsField")));
    QVERIFY(app.window->dropDownItem(QStringLiteral("InsField"))->isEnabled());

    // and back to A
    app.activate(a);
    QCOMPARE(app.window->slider(0)->value(), 120);
    QCOMPARE(app.window->slider(2)->value(), 30);
    QVERIFY(app.window->slider(2)->isEnabled());
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSave")));
    QVERIFY(app.window->button(3)->isEnabled());
    QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuInsField")));
    QVERIFY(!app.window->dropDownItem(QStringLiteral("InsField"))->isEnabled());
    QCOMPARE(app.window->statusPanel(2)->text(), QStringLiteral("120"));
    QCOMPARE(iniValue(b->lblIniName(), "KurikaesiHaba"), QStringLiteral("70"));
}

void TestDocuments::focusToADialogIsNoSwitch()
{
    App app;
    app.newMono();
    DocumentWindow *b = app.newColour();
    const QString path = b->lblIniName();
    const QByteArray before = readBytes(path);
    app.window->setMenuEnabled(QStringLiteral("mnuSave"), true);  // in the window, not in the file

    // a real modal dialog taking the focus and giving it back
    QDialog dialog(app.window.get());
    dialog.setModal(true);
    dialog.show();
    QTest::qWait(20);
    dialog.close();
    QTest::qWait(20);
    // and the notifications the area gives for such a change, whatever the platform did
    Q_EMIT app.window->mdiArea()->subWindowActivated(nullptr);
    Q_EMIT app.window->mdiArea()->subWindowActivated(App::frameOf(b));

    QCOMPARE(readBytes(path), before);
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSave")));
    QCOMPARE(app.window->activeDocument(), b);
    QCOMPARE(app.shared().StateFilePath, path);
}

void TestDocuments::closeBranches_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("fileKept");
    QTest::addColumn<bool>("fileRewritten");
    QTest::addColumn<QString>("rittaido");
    QTest::newRow("new, yes, save dialog cancelled") << false << Answer::Yes << false << true << false << "33";
    QTest::newRow("new, no") << false << Answer::No << true << false << false << "";
    QTest::newRow("new, cancel") << false << Answer::Cancel << false << true << false << "33";
    QTest::newRow("project, yes") << true << Answer::Yes << true << true << true << "33";
    // declined: the project is put back as it was opened, the slider move undone
    QTest::newRow("project, no") << true << Answer::No << true << true << true << "20";
    QTest::newRow("project, cancel") << true << Answer::Cancel << false << true << false << "33";
}

void TestDocuments::closeBranches()
{
    QFETCH(bool, project);
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    QFETCH(bool, fileKept);
    QFETCH(bool, fileRewritten);
    QFETCH(QString, rittaido);
    App app;
    QTemporaryDir dir;
    app.newMono();
    DocumentWindow *document = nullptr;
    QString question;
    if (project) {
        const QString path = dir.filePath(QStringLiteral("scene.lvd"));
        lumivex::document::writeDocState(path, DocState());
        document = app.openProject(path, QStringLiteral("scene"), QStringLiteral("RandomDot"));
        question = QStringLiteral("「scene」を上書き保存しますか？");
    } else {
        document = app.newMono();
        question = QStringLiteral("「Vexart2」を保存しますか？");
    }
    const QString path = document->lblIniName();
    app.window->slider(1)->setValue(33);  // written at once
    app.window->setMenuEnabled(QStringLiteral("mnuSave"), true);  // written only by a save
    const QByteArray before = readBytes(path);

    QPointer<QMdiSubWindow> frame = App::frameOf(document);
    app.prompts.answers = {answer};
    QCOMPARE(frame->close(), closed);
    QTest::qWait(1);

    // the save dialog of 「はい」 is the save-as command's own business
    QCOMPARE(app.prompts.asked.at(0).kind, QStringLiteral("question"));
    QCOMPARE(std::count_if(app.prompts.asked.cbegin(), app.prompts.asked.cend(),
                           [](const auto &a) { return a.kind == QLatin1String("question"); }),
             1);
    QCOMPARE(app.prompts.asked.at(0).title, lumivex::prompts::applicationTitle());
    QCOMPARE(app.prompts.asked.at(0).text, question);
    QCOMPARE(frame.isNull(), closed);
    QCOMPARE(app.documents().size(), closed ? 1 : 2);
    QCOMPARE(QFile::exists(path), fileKept);
    if (fileKept) {
        QCOMPARE(readBytes(path) != before, fileRewritten);
        QCOMPARE(iniValue(path, "Rittaido"), rittaido);
    }
    // one of two closed: the main window keeps document commands
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuClose")));
    if (!closed) {
        QVERIFY(!document->SaveCancelled);
        QCOMPARE(app.window->activeDocument(), document);
    }
}

void TestDocuments::closingTheLastWindow_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no") << Answer::No << true;
    QTest::newRow("cancel") << Answer::Cancel << false;
    QTest::newRow("yes, save dialog cancelled") << Answer::Yes << false;
}

void TestDocuments::closingTheLastWindow()
{
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    App app;
    DocumentWindow *document = app.newField();
    app.prompts.answers = {answer};
    App::frameOf(document)->close();
    QTest::qWait(1);
    QCOMPARE(app.documents().isEmpty(), closed);
    // the no-document state, or the document's state left as it was
    QCOMPARE(app.window->isMenuEnabled(QStringLiteral("mnuClose")), !closed);
    QCOMPARE(app.window->isMenuEnabled(QStringLiteral("mnuSaveName")), !closed);
    QCOMPARE(app.window->button(9)->isEnabled(), !closed);
    QCOMPARE(app.window->slider(0)->isEnabled(), !closed);
    QCOMPARE(app.window->statusPanel(1)->text().isEmpty(), closed);
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuMono")));
}

void TestDocuments::quitStopsAtCancel()
{
    App app;
    DocumentWindow *first = app.newMono();
    DocumentWindow *second = app.newColour();
    const QString firstPath = first->lblIniName();
    const QString secondPath = second->lblIniName();
    app.prompts.answers = {Answer::No, Answer::Cancel};
    QVERIFY(!app.window->close());
    QTest::qWait(1);
    QCOMPARE(app.prompts.asked.size(), 2);
    QCOMPARE(app.prompts.asked.at(0).text, QStringLiteral("「Vexart1」を保存しますか？"));
    QCOMPARE(app.prompts.asked.at(1).text, QStringLiteral("「Vexart2」を保存しますか？"));
    QVERIFY(app.window->isVisible());
    QCOMPARE(app.documents(), QList<DocumentWindow *>{second});
    QVERIFY(!QFile::exists(firstPath));
    QVERIFY(QFile::exists(secondPath));

    app.prompts.answers = {Answer::No};
    QVERIFY(app.window->close());
    QVERIFY(!QFile::exists(secondPath));
}

void TestDocuments::quitDeletesOwnStateFiles()
{
    App app;
    const QString programFolder = lumivex::document::programFolder();
    const QString own = app.window->stateFolder();
    app.newMono();
    // left by an earlier crash of this copy, and by an older version in the program folder
    writeBytes(own + QStringLiteral("/Vexart7.tmp"), "[Lumivex Ver.2]\n");
    writeBytes(programFolder + QStringLiteral("/Vexart3.tmp"), "[Lumivex Ver.2]\n");
    writeBytes(programFolder + QStringLiteral("/keep.lvd"), "[Lumivex Ver.2]\n");

    // the unsaved document is kept by "Yes" with its save dialog cancelled: quit stops
    app.prompts.answers = {Answer::Yes};
    QVERIFY(!app.window->close());
    QVERIFY(QFile::exists(own + QStringLiteral("/Vexart1.tmp")));
    QVERIFY(QFile::exists(own + QStringLiteral("/Vexart7.tmp")));

    app.prompts.answers = {Answer::No};
    QVERIFY(app.window->close());
    QVERIFY(QDir(own).entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden).isEmpty());
    QVERIFY(!QFile::exists(programFolder + QStringLiteral("/Vexart3.tmp")));
    QVERIFY(QFile::exists(programFolder + QStringLiteral("/keep.lvd")));
    QFile::remove(programFolder + QStringLiteral("/keep.lvd"));
}

void TestDocuments::quitSavesEachDocumentsOwnState()
{
    App app;
    app.newMono();
    app.window->setSliderValue(0, 111);
    app.newColour();
    app.window->setSliderValue(0, 44);
    QTemporaryDir dir;
    const QString saved = dir.path() + QStringLiteral("/first.lvd");

    // Vexart1 lies in the background; answering Yes saves Vexart1, not the active Vexart2.
    app.prompts.answers = {Answer::Yes, Answer::No};
    app.prompts.files = {saved};
    QVERIFY(app.window->close());
    QCOMPARE(app.prompts.asked.at(0).text, QStringLiteral("「Vexart1」を保存しますか？"));
    QCOMPARE(iniValue(saved, "KurikaesiHaba"), QStringLiteral("111"));
    QCOMPARE(iniValue(saved, "MONOorCOLOR"), QStringLiteral("Mono"));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"

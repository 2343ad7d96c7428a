// The main window driven as a user drives it, several documents at a time, maximized and not:
// create, insert, convert, switch, open, save, close and quit, also with a disk that fails.
// Each scenario checks that no document's state reaches another document's file and that
// nothing the user kept is lost.
#include "apptest.h"

#include "document/docstate.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace apptest;
using lumivex::document::DocState;

namespace {

/// Whether every pixel of the picture is black or white (a monochrome random-dot picture).
bool onlyBlackAndWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xffffff;
            if (c != 0 && c != 0xffffff)
                return false;
        }
    }
    return true;
}

bool lock(const QString &path, bool locked)  // root passes permissions, not the immutable flag
{
    const auto mode = QFileDevice::ReadOwner | QFileDevice::ExeOwner | (locked ? QFileDevice::ReadOwner : QFileDevice::WriteOwner);
    return QProcess::execute(QStringLiteral("chattr"), {QLatin1String(locked ? "+i" : "-i"), path}) == 0 || QFile::setPermissions(path, mode);
}

int exclamations(const ScriptedPrompts &prompts, const QString &naming)
{
    return static_cast<int>(std::count_if(prompts.asked.cbegin(), prompts.asked.cend(), [&](const auto &a) {
        return a.kind == QLatin1String("exclamation") && a.text.contains(QDir::toNativeSeparators(naming));
    }));
}

} // namespace

class TestScenarios : public QObject
{
    Q_OBJECT

private slots:
    void switchingKeepsEachDocumentsMode_data();
    void switchingKeepsEachDocumentsMode();
    void newDocumentsStartWithoutPictures();
    void finishedRunSurvivesNewDocumentAndSwitch();
    void openingLeavesTheProjectAsStored();
    void failingDiskKeepsTheWindow();
    void declinedSaveRestoresTheProject();
    void sharedProjectInALockedFolder();
    void toolbarButtonsAndDropDownItems();
    void toolbarFileAndEditButtons();
    void startsCentredAroundItsDocumentArea();
};

void TestScenarios::switchingKeepsEachDocumentsMode_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::newRow("side by side") << false;
    QTest::newRow("maximized") << true;
}

void TestScenarios::switchingKeepsEachDocumentsMode()
{
    QFETCH(bool, maximized);
    App app;
    DocumentWindow *field = app.newField();
    app.putDesign(field, designPicture(90, 40), fieldPicture(90, 40));
    DocumentWindow *dots = app.newMono();
    app.putDesign(dots, designPicture(90, 40));
    if (maximized)
        App::frameOf(dots)->showMaximized();
    // 奥行きを反転 belongs to the document it was chosen in.
    QAction *invert = app.window->menuAction(QStringLiteral("mnuInvertDepth"));
    invert->trigger();

    for (int round = 0; round < 3; ++round) {
        app.activate(field);
        QCOMPARE(app.shared().ModeWord.text(), QStringLiteral("Field"));
        QCOMPARE(App::frameOf(field)->isMaximized(), maximized);
        QVERIFY(!invert->isChecked());
        app.activate(dots);
        QCOMPARE(app.shared().ModeWord.text(), QStringLiteral("RandomDot"));
        QVERIFY(invert->isChecked());
        QCOMPARE(iniValue(field->lblIniName(), "StereoName"), QStringLiteral("Field"));
        QCOMPARE(iniValue(field->lblIniName(), "MONOorCOLOR"), QString());
        QCOMPARE(iniValue(field->lblIniName(), "InvertDepth"), QStringLiteral("<missing>"));
        app.activate(field);
        QCOMPARE(iniValue(dots->lblIniName(), "StereoName"), QStringLiteral("RandomDot"));
        QCOMPARE(iniValue(dots->lblIniName(), "MONOorCOLOR"), QStringLiteral("Mono"));
        QCOMPARE(iniValue(dots->lblIniName(), "InvertDepth"), QStringLiteral("True"));
    }

    // 開始 runs each document's own conversion, and a save stores its own mode.
    QVERIFY(app.startAndWait());
    QVERIFY(!onlyBlackAndWhite(field->picAfter()->image()));
    app.activate(dots);
    QVERIFY(app.startAndWait());
    QVERIFY(onlyBlackAndWhite(dots->picAfter()->image()));
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("dots.lvd"));
    app.prompts.files = {saved};
    app.trigger("mnuSaveName");
    QVERIFY(App::waitForTick(dots));
    QCOMPARE(iniValue(saved, "StereoName"), QStringLiteral("RandomDot"));
    app.activate(field);
    QCOMPARE(iniValue(saved, "StereoName"), QStringLiteral("RandomDot"));
    QCOMPARE(iniValue(saved, "InvertDepth"), QStringLiteral("True"));
    QCOMPARE(iniValue(field->lblIniName(), "StereoName"), QStringLiteral("Field"));

    // The inverted depth comes back with the project, and goes from it when turned off.
    const QString copy = dir.filePath(QStringLiteral("copy.lvd"));
    QVERIFY(QFile::copy(saved, copy));
    DocumentWindow *opened = app.openProject(copy, QStringLiteral("copy"), QStringLiteral("RandomDot"));
    QVERIFY(opened && app.shared().InvertDepth && invert->isChecked());
    invert->trigger();
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(opened));
    QVERIFY(!readBytes(copy).contains("InvertDepth"));
}

void TestScenarios::newDocumentsStartWithoutPictures()
{
    App app;
    DocumentWindow *first = app.newMono();
    app.shared().DesignImagePath = QStringLiteral("/pictures/tree.bmp");
    app.shared().StereoImagePath = QStringLiteral("/pictures/tree-out.bmp");

    for (const char *command : {"mnuColor", "mnuMono", "mnuFieldColor"}) {
        app.trigger(command);
        DocumentWindow *fresh = app.window->activeDocument();
        QVERIFY(fresh != first);
        QVERIFY(app.shared().DesignImagePath.isEmpty());
        QVERIFY(app.shared().StereoImagePath.isEmpty());
        QCOMPARE(iniValue(fresh->lblIniName(), "PicDesignPath"), QString());
        QCOMPARE(iniValue(fresh->lblIniName(), "PicStereoPath"), QString());
    }

    // Saving the last, empty document makes a project that names no picture.
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("empty.lvd"));
    app.prompts.files = {saved};
    DocumentWindow *last = app.window->activeDocument();
    app.trigger("mnuSaveName");
    QVERIFY(App::waitForTick(last));
    QCOMPARE(iniValue(saved, "PicDesignPath"), QString());
    QCOMPARE(iniValue(saved, "PicStereoPath"), QString());

    // the first document still has its own
    QCOMPARE(iniValue(first->lblIniName(), "PicDesignPath"), QStringLiteral("/pictures/tree.bmp"));
    app.activate(first);
    QCOMPARE(app.shared().StereoImagePath, QStringLiteral("/pictures/tree-out.bmp"));
}

void TestScenarios::finishedRunSurvivesNewDocumentAndSwitch()
{
    App app;
    DocumentWindow *first = app.newMono();
    app.putDesign(first, designPicture(120, 60));
    QVERIFY(app.startAndWait());
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QCOMPARE(app.window->statusPanel(5)->text(), QStringLiteral("119 \u00d7 59"));

    DocumentWindow *second = app.newColour();
    QVERIFY(!app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QCOMPARE(app.window->statusPanel(5)->text(), QString());
    app.activate(first);
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuPrint")));
    QVERIFY(app.window->button(4)->isEnabled());
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSaveStereo")));
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuConvStart")));
    QCOMPARE(app.window->statusPanel(5)->text(), QStringLiteral("119 \u00d7 59"));
    app.activate(second);
    QCOMPARE(app.window->statusPanel(5)->text(), QString());
    QVERIFY(!app.window->button(4)->isEnabled());
}

void TestScenarios::openingLeavesTheProjectAsStored()
{
    App app;
    DocumentWindow *active = app.newMono();
    app.window->setSliderValue(0, 150);
    app.window->setMenuEnabled(QStringLiteral("mnuCut"), true);  // recorded only by its deactivation

    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("meadow.lvd"));
    DocState stored;
    stored.stereoName = testfiles::modeWord(QStringLiteral("Field"));
    stored.monoOrColor = testfiles::colourWord(QString());
    stored.kurikaesiHaba = 88;
    stored.mitudo = 0;
    stored.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuSave")), true);
    stored.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuConvStart")), false);
    QVERIFY(lumivex::document::writeDocState(project, stored));
    const QByteArray before = readBytes(project);

    DocumentWindow *opened = app.openProject(project, QStringLiteral("meadow"), QStringLiteral("Field"));
    QVERIFY(opened);
    QCOMPARE(readBytes(project), before);
    QCOMPARE(app.window->slider(0)->value(), 88);
    QVERIFY(app.window->isMenuEnabled(QStringLiteral("mnuSave")));
    // a colour-field project has no density, as a new colour-field document has none
    QVERIFY(!app.window->slider(2)->isEnabled());
    QVERIFY(!app.window->caption(2)->isEnabled());

    // the document active before wrote its own state into its own file
    QCOMPARE(iniValue(active->lblIniName(), "KurikaesiHaba"), QStringLiteral("150"));
    QCOMPARE(iniValue(active->lblIniName(), "mnuCut"), QStringLiteral("True"));
    app.activate(active);
    QCOMPARE(readBytes(project).count("mnuSave=True"), 1);
    QCOMPARE(iniValue(project, "StereoName"), QStringLiteral("Field"));
    QCOMPARE(iniValue(project, "KurikaesiHaba"), QStringLiteral("88"));
    QCOMPARE(app.window->slider(0)->value(), 150);
    app.activate(opened);
    QVERIFY(!app.window->slider(2)->isEnabled());
}

void TestScenarios::failingDiskKeepsTheWindow()
{
    App app;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    const QString project = dir.filePath(QStringLiteral("gone/scene.lvd"));
    QVERIFY(lumivex::document::writeDocState(project, DocState()));
    DocumentWindow *doc = app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    QVERIFY(doc);
    app.newMono();
    app.activate(doc);
    app.window->setSliderValue(1, 41);
    QVERIFY(QDir(dir.filePath(QStringLiteral("gone"))).removeRecursively());

    // 上書き保存: the failed write is reported, naming the file
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(exclamations(app.prompts, project), 1);

    // はい when closing: reported, and the window stays with its state
    QPointer<QMdiSubWindow> frame = App::frameOf(doc);
    app.prompts.answers = {Answer::Yes};
    QVERIFY(!frame->close());
    QVERIFY(frame);
    QCOMPARE(exclamations(app.prompts, project), 2);
    QCOMPARE(app.window->activeDocument(), doc);
    QCOMPARE(app.window->slider(1)->value(), 41);

    // はい when quitting: the quit stops there, and the other document is still open
    app.prompts.answers = {Answer::Yes};
    QVERIFY(!app.window->close());
    QVERIFY(frame);
    QCOMPARE(app.documents().size(), 2);
    QCOMPARE(exclamations(app.prompts, project), 3);

    // once the folder is back, the same save goes through
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(exclamations(app.prompts, project), 3);
    QCOMPARE(iniValue(project, "Rittaido"), QStringLiteral("41"));
}

void TestScenarios::declinedSaveRestoresTheProject()
{
    App app;
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("scene.lvd"));
    DocState stored;
    stored.stereoName = testfiles::modeWord(QStringLiteral("RandomDot"));
    QVERIFY(lumivex::document::writeDocState(project, stored));
    const QByteArray asOpened = readBytes(project);
    DocumentWindow *doc = app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    QVERIFY(doc);
    QCOMPARE(readBytes(project), asOpened);

    // 上書き保存 makes the saved state the one to come back to
    app.window->setSliderValue(0, 120);
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(doc));
    const QByteArray asSaved = readBytes(project);
    QCOMPARE(iniValue(project, "KurikaesiHaba"), QStringLiteral("120"));

    // later changes, written at once and on switching, are dropped by いいえ at quit
    app.window->setSliderValue(0, 33);
    app.newField();
    app.activate(doc);
    app.window->setSliderValue(1, 7);
    QVERIFY(readBytes(project) != asSaved);
    app.prompts.answers = {Answer::No, Answer::No};
    QVERIFY(app.window->close());
    QCOMPARE(readBytes(project), asSaved);
    app.window.reset();
}

void TestScenarios::sharedProjectInALockedFolder()
{
    App app;
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("scene.lvd"));
    DocumentWindow *first = app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    app.window->setSliderValue(0, 120);
    // A second window saves the project: いいえ in the first keeps that save, also when the
    // first has written into the file since (a slider moved in it).
    DocumentWindow *second = app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    app.window->setSliderValue(0, 100);
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(second));
    const QByteArray saved = readBytes(project);
    app.prompts.answers = {Answer::No};
    QVERIFY(App::frameOf(first)->close());
    QCOMPARE(readBytes(project), saved);
    DocumentWindow *third = app.openProject(project, QStringLiteral("scene"), QStringLiteral("RandomDot"));
    app.activate(second);
    app.window->setSliderValue(0, 110);
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(second));
    app.activate(third);
    app.window->setSliderValue(1, 35);
    app.prompts.answers = {Answer::No};
    QVERIFY(App::frameOf(third)->close());
    QCOMPARE(iniValue(project, "KurikaesiHaba"), QStringLiteral("110"));
    // In a folder that takes no new file it is saved in place; failed writes are told once.
    const auto unlock = qScopeGuard([&] { lock(project, false), lock(dir.path(), false); });
    QVERIFY(lock(dir.path(), true));
    app.window->setSliderValue(0, 98);
    app.trigger("mnuSave");
    QVERIFY(App::waitForTick(second));
    QCOMPARE(iniValue(project, "KurikaesiHaba"), QStringLiteral("98"));
    QVERIFY(lock(project, true));
    app.window->setSliderValue(0, 97);
    app.newMono();
    QTest::qWait(50);
    QCOMPARE(exclamations(app.prompts, project), 1);
}

void TestScenarios::toolbarButtonsAndDropDownItems()
{
    App app;
    // Each New item makes its kind of document.
    struct Kind
    {
        const char *key;
        const char *mode;
        const char *colour;
        int icon;
    };
    for (const Kind &kind : {Kind{"Stereo", "Field", "", 104}, Kind{"RandomColor", "RandomDot", "Color", 103},
                             Kind{"RandomMono", "RandomDot", "Mono", 101}}) {
        const int before = app.documents().size();
        app.window->dropDownItem(QString::fromLatin1(kind.key))->trigger();
        QCOMPARE(app.documents().size(), before + 1);
        DocumentWindow *doc = app.window->activeDocument();
        QCOMPARE(doc->lblStereoName().text(), QString::fromLatin1(kind.mode));
        QCOMPARE(iniValue(doc->lblIniName(), "MONOorCOLOR"), QString::fromLatin1(kind.colour));
        QCOMPARE(doc->iconId(), kind.icon);
    }

    // The wizard's item and the New button's face open the wizard; cancelled, nothing is made.
    for (QAction *action : {app.window->dropDownItem(QStringLiteral("StereoWiz")), app.window->button(1)}) {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                shown = true;
                modal->close();
            }
        });
        action->trigger();
        QVERIFY(shown);
        QCOMPARE(app.documents().size(), 3);
    }

    // The Ins items ask for their pictures; the open button for a project.
    for (const char *key : {"InsDesign", "InsStereo"}) {
        const qsizetype asked = app.prompts.asked.size();
        app.window->dropDownItem(QString::fromLatin1(key))->trigger();
        QVERIFY(App::waitForTick(app.window->activeDocument()));
        QCOMPARE(app.prompts.asked.size(), asked + 1);
        QCOMPARE(app.prompts.asked.last().kind, QStringLiteral("file"));
    }
    app.window->button(2)->trigger();
    QCOMPARE(app.prompts.asked.last().kind, QStringLiteral("file"));
    QCOMPARE(app.documents().size(), 3);

    // 開始, 中断 and 中止 from the toolbar: a pause, then an abort that never quits.
    DocumentWindow *doc = app.window->activeDocument();
    app.putDesign(doc, designPicture(60, 300));
    QVERIFY(app.window->button(11)->isEnabled());
    RowHook pause(*app.window, 0, 20, [&] { app.window->button(12)->trigger(); });
    app.window->button(11)->trigger();
    QVERIFY(App::waitForTick(doc));
    QVERIFY(pause.fired());
    QCOMPARE(doc->DotResumeRow, 20);
    QVERIFY(app.window->button(13)->isEnabled());
    QVERIFY(app.window->button(11)->isEnabled());
    app.window->button(13)->trigger();
    QTest::qWait(80);
    QVERIFY(app.window->isVisible());
    QCOMPARE(app.documents().size(), 3);
    QVERIFY(doc->picAfter()->isHidden());
    QVERIFY(!app.shared().Converting);
    QVERIFY(!app.window->button(13)->isEnabled());
    QVERIFY(app.window->button(11)->isEnabled());
}

void TestScenarios::toolbarFileAndEditButtons()
{
    App app;
    RecordingPrinter printer;
    app.services.printer.use(&printer);
    DocumentWindow *doc = app.newMono();
    QVERIFY(!app.window->button(3)->isEnabled());

    // the Ins button's face asks for a design picture
    app.window->button(9)->trigger();
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(app.prompts.asked.last().kind, QStringLiteral("file"));

    // 上書き保存 once the document has a project file
    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("buttons.lvd"));
    app.prompts.files = {project};
    app.trigger("mnuSaveName");
    QVERIFY(App::waitForTick(doc));
    QVERIFY(app.window->button(3)->isEnabled());
    app.window->setSliderValue(2, 55);
    QVERIFY(lumivex::document::iniWriteString(project, QString::fromLatin1(lumivex::document::kSection),
                                              QStringLiteral("Mitudo"), QStringLiteral("1")));
    app.window->button(3)->trigger();
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(iniValue(project, "Mitudo"), QStringLiteral("55"));

    // 印刷 prints the finished stereo picture
    app.putDesign(doc, designPicture(50, 40));
    QVERIFY(app.startAndWait());
    QVERIFY(app.window->button(4)->isEnabled());
    app.window->button(4)->trigger();
    QVERIFY(App::waitForTick(doc));
    QCOMPARE(printer.sizes(), QList<QSize>{QSize(49, 39)});

    // コピー, 切り取り and 貼り付け on the stereo pane
    const QImage stereo = doc->picAfter()->image();
    QTest::mouseClick(doc->picAfter(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(app.window->button(7)->isEnabled());
    app.window->button(7)->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), stereo);
    app.window->button(6)->trigger();
    QVERIFY(doc->picAfter()->isHidden());
    QVERIFY(app.window->button(8)->isEnabled());
    app.window->button(8)->trigger();
    QVERIFY(App::waitForTick(doc));
    QVERIFY(!doc->picAfter()->isHidden());
    QCOMPARE(doc->picAfter()->image().convertToFormat(QImage::Format_RGB32), stereo);
}

void TestScenarios::startsCentredAroundItsDocumentArea()
{
    App app;
    QCOMPARE(app.window->mdiArea()->height(), 502);
    QVERIFY(app.window->mdiArea()->width() >= 712);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect window = app.window->geometry();
    QVERIFY(qAbs((screen.width() - window.width()) / 2 - app.window->x()) <= 1);
    QVERIFY(qAbs((screen.height() - window.height()) / 2 - app.window->y()) <= 1);
}

QTEST_MAIN(TestScenarios)
#include "tst_scenarios.moc"

// Which controls the main window enables: at start-up, in each conversion state, for a new
// document of each mode, and as a document's state file records them, key by key.
#include "apptest.h"

#include "document/docstate.h"

#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

using namespace apptest;
using lumivex::document::DocState;
using testfiles::stateLines;

class TestControlStates : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpState_data();
    void startUpState();
    void conversionStates_data();
    void conversionStates();
    void runningStateLocksDocumentControls();
    void endedStateRestoresFromFile();
    void docStateRoundTrip();
    void editMenuUsesItsOwnKey();
    void insFieldItemFollowsMenuItem();
    void newDocumentStates_data();
    void newDocumentStates();

private:
    std::unique_ptr<App> m_app;
    MainWindow *m_window = nullptr;  ///< the App's, never shown unless a test shows it
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestControlStates::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_app = std::make_unique<App>(App::Start::Hidden);
    m_window = m_app->window.get();
}

void TestControlStates::cleanup()
{
    m_app.reset();
}

void TestControlStates::startUpState_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");

    const QStringList on = {
        "mnuFile", "mnuNew", "mnuWizard", "mnuFieldColor", "mnuColor", "mnuMono", "mnuOpen",
        "mnuEnd", "mnuHensyuu", "mnuEditer", "mnuEditerChoice", "mnuEditerBoot", "mnuIns",
        "mnuConvert", "mnuWindow", "mnuHelp", "mnuInfomation", "mnuSetumei"};
    const QStringList off = {
        "mnuSave", "mnuSaveName", "mnuSaveGazou", "mnuSaveDesign", "mnuSaveField",
        "mnuSaveStereo", "mnuClose", "mnuPrint", "mnuCut", "mnuCopy", "mnuPaste", "mnuClear",
        "mnuInsDesign", "mnuInsField", "mnuInsStereo", "mnuConvStart", "mnuConvStop",
        "mnuConvExit"};
    QCOMPARE(on.size() + off.size(), lumivex::document::kMenuControlCount);
    for (const QString &name : on)
        QTest::newRow(qPrintable(name)) << "menu" << name << true;
    for (const QString &name : off)
        QTest::newRow(qPrintable(name)) << "menu" << name << false;
    for (int index = 1; index <= 14; ++index) {
        const bool enabled = index == 1 || index == 2 || index == 5 || index == 10 || index == 14;
        QTest::addRow("button %d", index) << "button" << QString::number(index) << enabled;
    }
    for (int i = 0; i < 3; ++i) {
        QTest::addRow("caption %d", i) << "caption" << QString::number(i) << false;
        QTest::addRow("slider %d", i) << "slider" << QString::number(i) << false;
    }
}

void TestControlStates::startUpState()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    if (kind == QLatin1String("menu")) {
        QVERIFY(m_window->menuAction(name));
        QCOMPARE(m_window->menuAction(name)->isEnabled(), enabled);
        QCOMPARE(m_window->isMenuEnabled(name), enabled);
    } else if (kind == QLatin1String("button")) {
        QCOMPARE(m_window->button(name.toInt())->isEnabled(), enabled);
    } else if (kind == QLatin1String("caption")) {
        QCOMPARE(m_window->caption(name.toInt())->isEnabled(), enabled);
    } else {
        QCOMPARE(m_window->slider(name.toInt())->isEnabled(), enabled);
    }
    QVERIFY(m_window->statusPanel(1)->text().isEmpty());
}

void TestControlStates::conversionStates_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QString>("startCaption");
    QTest::addColumn<bool>("start");
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("exit");
    QTest::newRow("SetConvIdle") << "SetConvIdle" << "開始" << true << false << false;
    QTest::newRow("SetConvRunning") << "SetConvRunning" << "継続" << false << true << false;
    QTest::newRow("SetConvPaused") << "SetConvPaused" << "継続" << true << false << true;
    QTest::newRow("SetConvEnded") << "SetConvEnded" << "開始" << true << false << false;
}

void TestControlStates::conversionStates()
{
    QFETCH(QString, procedure);
    QFETCH(QString, startCaption);
    QFETCH(bool, start);
    QFETCH(bool, stop);
    QFETCH(bool, exit);
    m_window->shared().StateFilePath = m_dir->filePath(QStringLiteral("state.lvd"));
    // Paused keeps the caption the run gave it.
    m_window->SetConvRunning();
    if (procedure == QLatin1String("SetConvIdle"))
        m_window->SetConvIdle();
    else if (procedure == QLatin1String("SetConvPaused"))
        m_window->SetConvPaused();
    else if (procedure == QLatin1String("SetConvEnded"))
        m_window->SetConvEnded();

    QAction *startItem = m_window->menuAction(QStringLiteral("mnuConvStart"));
    QCOMPARE(startItem->text(), startCaption);
    QCOMPARE(startItem->isEnabled(), start);
    QCOMPARE(m_window->isMenuEnabled(QStringLiteral("mnuConvStop")), stop);
    QCOMPARE(m_window->isMenuEnabled(QStringLiteral("mnuConvExit")), exit);
    QCOMPARE(m_window->button(11)->toolTip(), startCaption);
    QCOMPARE(m_window->button(11)->isEnabled(), start);
    QCOMPARE(m_window->button(12)->isEnabled(), stop);
    QCOMPARE(m_window->button(13)->isEnabled(), exit);
}

void TestControlStates::runningStateLocksDocumentControls()
{
    m_window->shared().ModeWord = testfiles::modeWord(QStringLiteral("Field"));
    // start from a document with everything usable
    m_window->applyDocState(DocState());
    m_window->SetConvRunning();
    const QStringList on = {"mnuFile", "mnuSaveDesign", "mnuSaveField", "mnuSaveStereo", "mnuEnd",
                            "mnuHensyuu", "mnuEditerChoice", "mnuEditerBoot", "mnuIns",
                            "mnuConvert", "mnuHelp", "mnuInfomation", "mnuSetumei",
                            "mnuConvStop"};
    const QStringList off = {"mnuInsDesign", "mnuNew", "mnuWizard", "mnuFieldColor", "mnuColor",
                             "mnuMono", "mnuOpen", "mnuSave", "mnuSaveName", "mnuSaveGazou",
                             "mnuClose", "mnuPrint", "mnuEditer", "mnuCut", "mnuCopy",
                             "mnuPaste", "mnuClear", "mnuInsField", "mnuInsStereo", "mnuWindow",
                             "mnuConvStart", "mnuConvExit"};
    QCOMPARE(on.size() + off.size(), lumivex::document::kMenuControlCount);
    for (const QString &name : on)
        QVERIFY2(m_window->isMenuEnabled(name), qPrintable(name));
    for (const QString &name : off)
        QVERIFY2(!m_window->isMenuEnabled(name), qPrintable(name));
    for (int index = 1; index <= 14; ++index) {
        const bool enabled = index == 5 || index == 10 || index == 12 || index == 14;
        QVERIFY2(m_window->button(index)->isEnabled() == enabled, qPrintable(QString::number(index)));
    }
    QVERIFY(!m_window->dropDownButton(1)->isEnabled());
    QVERIFY(!m_window->dropDownButton(9)->isEnabled());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!m_window->caption(i)->isEnabled());
        QVERIFY(!m_window->slider(i)->isEnabled());
    }
}

void TestControlStates::endedStateRestoresFromFile()
{
    // The end of a run brings back what the document's file recorded before the run, with the
    // conversion controls reset, and records that.
    const QString path = m_dir->filePath(QStringLiteral("state.lvd"));
    DocState before;
    before.stereoName = testfiles::modeWord(QStringLiteral("RandomDot"));
    before.monoOrColor = testfiles::colourWord(QStringLiteral("Mono"));
    before.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuSave")), false);
    before.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuConvStart")), false);
    before.controls.set(lumivex::document::buttonControl(11), false);  // button 11
    before.kurikaesiHaba = 90;
    QVERIFY(lumivex::document::writeDocState(path, before));
    m_window->shared().StateFilePath = path;

    m_window->SetConvRunning();
    m_window->SetConvEnded();
    QVERIFY(!m_window->isMenuEnabled(QStringLiteral("mnuSave")));
    QVERIFY(m_window->isMenuEnabled(QStringLiteral("mnuOpen")));
    QVERIFY(m_window->slider(0)->isEnabled());
    QCOMPARE(m_window->slider(0)->value(), 90);
    QVERIFY(m_window->isMenuEnabled(QStringLiteral("mnuConvStart")));
    QCOMPARE(iniValue(path, "mnuConvStart"), QStringLiteral("True"));
    QCOMPARE(iniValue(path, "knButtons11"), QStringLiteral("True"));
    QCOMPARE(iniValue(path, "mnuSave"), QStringLiteral("False"));
}

void TestControlStates::docStateRoundTrip()
{
    const QString path = m_dir->filePath(QStringLiteral("Vexart2.tmp"));
    m_window->shared().StateFilePath = path;
    DocState state;
    state.fileNamePath = path;
    state.picDesignPath = QStringLiteral("/pics/デザイン.bmp");
    state.picFieldPath = QString();
    state.picStereoPath = QStringLiteral("/pics/out.bmp");
    state.stereoName = testfiles::modeWord(QStringLiteral("RandomDot"));
    state.monoOrColor = testfiles::colourWord(QStringLiteral("Color"));
    state.kurikaesiHaba = 111;
    state.rittaido = 7;
    state.mitudo = 64;
    // a pattern that differs from both the start-up and the new-document states
    using lumivex::document::Control;
    for (int i = 0; i < lumivex::document::kMenuControlCount; ++i)
        state.controls.set(Control(i), (i * 7) % 3 != 0);
    for (int i = 0; i < 14; ++i)
        state.controls.set(lumivex::document::buttonControl(i + 1), i % 2 == 0);
    state.controls.set({Control::knText0, Control::knText2, Control::sldRittaido}, true);
    state.controls.set({Control::knText1, Control::sldKurikaesi, Control::sldMitudo}, false);

    m_window->applyDocState(state);
    QCOMPARE(stateLines(m_window->docStateFromControls(), path), stateLines(state, path));
    QCOMPARE(m_window->shared().DesignImagePath, state.picDesignPath);
    QCOMPARE(m_window->shared().ModeWord.text(), QStringLiteral("RandomDot"));
    QCOMPARE(m_window->shared().ColourWord.text(), QStringLiteral("Color"));
    // the slider values went through their change handling
    QCOMPARE(iniValue(path, "KurikaesiHaba"), QStringLiteral("111"));
    QCOMPARE(iniValue(path, "Mitudo"), QStringLiteral("64"));
    QCOMPARE(m_window->statusPanel(3)->text(), QStringLiteral("7"));

    // the enabled states a control was given count, whatever its parents show
    QWidget *strip = m_window->slider(0)->parentWidget();
    strip->setEnabled(false);
    QCOMPARE(stateLines(m_window->docStateFromControls(), path), stateLines(state, path));
    strip->setEnabled(true);

    // through the file and back
    m_window->WriteDocState();
    m_window->shared().StateFilePath.clear();  // resetting the controls must not touch the file
    m_window->applyDocState(DocState());
    m_window->shared().StateFilePath = path;
    m_window->ReadDocState();
    QCOMPARE(stateLines(m_window->docStateFromControls(), path), stateLines(state, path));
}

void TestControlStates::editMenuUsesItsOwnKey()
{
    const lumivex::document::Control index = *lumivex::document::controlNamed(QStringLiteral("mnujHensyuu"));
    QCOMPARE(lumivex::document::controlKey(index), QStringLiteral("mnujHensyuu"));
    DocState state;
    state.controls.set(index, false);
    m_window->applyDocState(state);
    QVERIFY(!m_window->isMenuEnabled(QStringLiteral("mnuHensyuu")));
    QVERIFY(!m_window->docStateFromControls().controls[index]);

    const QString path = m_dir->filePath(QStringLiteral("edit.lvd"));
    m_window->shared().StateFilePath = path;
    m_window->WriteDocState();
    QCOMPARE(iniValue(path, "mnujHensyuu"), QStringLiteral("False"));
    QCOMPARE(iniValue(path, "mnuHensyuu"), QStringLiteral("<missing>"));
}

void TestControlStates::insFieldItemFollowsMenuItem()
{
    // Switching to another document brings its 挿入 → フィールド画像 state; the toolbar's twin
    // must not keep the previous document's state.
    QAction *item = m_window->dropDownItem(QStringLiteral("InsField"));
    DocState state;
    state.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuInsField")), false);
    m_window->applyDocState(state);
    QVERIFY(!item->isEnabled());
    state.controls.set(*lumivex::document::controlNamed(QStringLiteral("mnuInsField")), true);
    m_window->applyDocState(state);
    QVERIFY(item->isEnabled());
}

void TestControlStates::newDocumentStates_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("mitudo");
    QTest::addColumn<bool>("fieldAllowed");
    QTest::newRow("mono") << "mnuMono" << 30 << false;
    QTest::newRow("colour") << "mnuColor" << 30 << false;
    QTest::newRow("colour field") << "mnuFieldColor" << 0 << true;
}

void TestControlStates::newDocumentStates()
{
    QFETCH(QString, menu);
    QFETCH(int, mitudo);
    QFETCH(bool, fieldAllowed);
    m_window->menuAction(menu)->trigger();
    QCOMPARE(m_window->mdiArea()->subWindowList().size(), 1);

    for (const char *name : {"mnuSaveName", "mnuClose", "mnuInsDesign", "mnuInsStereo",
                                "mnuOpen", "mnuEnd"})
        QVERIFY2(m_window->isMenuEnabled(name), qPrintable(name));
    for (const char *name : {"mnuSave", "mnuSaveGazou", "mnuPrint", "mnuCut", "mnuCopy",
                                "mnuClear", "mnuPaste", "mnuConvStart"})
        QVERIFY2(!m_window->isMenuEnabled(name), qPrintable(name));
    QCOMPARE(m_window->isMenuEnabled(QStringLiteral("mnuInsField")), fieldAllowed);
    QCOMPARE(m_window->dropDownItem(QStringLiteral("InsField"))->isEnabled(), fieldAllowed);
    for (int index = 1; index <= 14; ++index) {
        const bool enabled = QList<int>{1, 2, 5, 9, 10, 14}.contains(index);
        QVERIFY2(m_window->button(index)->isEnabled() == enabled, qPrintable(QString::number(index)));
    }
    const QStringList values = {"70", "20", QString::number(mitudo)};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_window->slider(i)->value(), values.at(i).toInt());
        // the start-up density is already 0: no change, so its panel is left as it was
        if (values.at(i) != QLatin1String("0"))
            QCOMPARE(m_window->statusPanel(i + 2)->text(), values.at(i));
        const bool usable = i < 2 || !fieldAllowed;
        QCOMPARE(m_window->slider(i)->isEnabled(), usable);
        QCOMPARE(m_window->caption(i)->isEnabled(), usable);
    }
}

QTEST_MAIN(TestControlStates)
#include "tst_controlstates.moc"

// The main window's controls: menu tree, toolbar, parameter strip, status bar, their enabled
// states and their mapping to the state file.
#include "scriptedprompts.h"
#include "testservices.h"
#include "testfiles.h"
#include "shell/icons.h"
#include "shell/mainwindow.h"
#include "shell/messagepanel.h"
#include "shell/translations.h"

#include "document/docstate.h"
#include "document/inifile.h"
#include "engine/depth.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <functional>

using lumivex::document::DocState;
using lumivex::shell::MainWindow;
namespace engine = lumivex::engine;

namespace {

QString iniValue(const QString &path, const char *key)
{
    return lumivex::document::iniReadString(path, QString::fromLatin1(lumivex::document::kSection),
                                            QString::fromLatin1(key), QStringLiteral("<missing>"));
}

// "mnuFile[mnuNew[mnuWizard ...] ...]": the menu tree by object names, in menu order.
QString treeOf(const QList<QAction *> &actions)
{
    QStringList parts;
    for (QAction *action : actions) {
        QString part = action->objectName();
        if (QMenu *menu = action->menu())
            part += QLatin1Char('[') + treeOf(menu->actions()) + QLatin1Char(']');
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

QStringList entryLines(const DocState &state, const QString &path)
{
    QStringList lines;
    for (const auto &[key, value] : state.entries(path))
        lines.append(key + QLatin1Char('=') + value);
    return lines;
}

} // namespace

class TestMainWindowUi : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpState_data();
    void startUpState();
    void menuTree();
    void menuItems_data();
    void menuItems();
    void toolbar();
    void dropDownButtons();
    void commands_data();
    void commands();
    void itemsUnderGreyedMenuDoNotRun();
    void shortcutsReachMenuItems();
    void sliders();
    void statusPanels();
    void sliderChangeWritesItsKey_data();
    void sliderChangeWritesItsKey();
    void sliderTooltipFollowsMouse();
    void conversionStates_data();
    void conversionStates();
    void runningStateLocksDocumentControls();
    void endedStateRestoresFromFile();
    void docStateRoundTrip();
    void editMenuUsesItsOwnKey();
    void insFieldItemFollowsMenuItem();
    void newDocumentStates_data();
    void newDocumentStates();
    void windowMenuListsDocuments();
    void ctrlTabSwitchesDocuments();
    void pictures();
    void disabledButtonsLookDisabled();
    void helpPageMatchesTheProgram();
    void japaneseStandardButtons();

private:
    ScriptedPrompts m_prompts;
    testservices::TestServices m_services{m_prompts};
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMainWindowUi::init()
{
    m_prompts = ScriptedPrompts();
    m_dir = std::make_unique<QTemporaryDir>();
    m_window = std::make_unique<MainWindow>(m_services.services());
}

void TestMainWindowUi::cleanup()
{
    // Unsaved documents are closed without saving.
    m_prompts.answers = QList<ScriptedPrompts::Answer>(16, ScriptedPrompts::Answer::No);
    m_window->close();
    m_window.reset();
}

void TestMainWindowUi::startUpState_data()
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

void TestMainWindowUi::startUpState()
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

void TestMainWindowUi::menuTree()
{
    const QString expected = QStringLiteral(
        "mnuFile[mnuNew[mnuWizard mnuFieldColor mnuColor mnuMono] mnuBar1 mnuOpen mnuSave "
        "mnuSaveName mnuSaveGazou[mnuSaveDesign mnuSaveField mnuSaveStereo] mnuClose mnuBar3 "
        "mnuPrint mnuBar4 mnuEnd] "
        "mnuHensyuu[mnuEditer[mnuEditerChoice mnuEditerBoot] mnuBar5 mnuCut mnuCopy mnuPaste "
        "mnuBar6 mnuClear] "
        "mnuIns[mnuInsDesign mnuInsField mnuInsStereo] "
        "mnuConvert[mnuConvStart mnuConvStop mnuConvExit] mnuWindow[] "
        "mnuHelp[mnuInfomation mnuSetumei]");
    QCOMPARE(treeOf(m_window->menuBar()->actions()), expected);
    for (const char *separator : {"mnuBar1", "mnuBar3", "mnuBar4", "mnuBar5", "mnuBar6"})
        QVERIFY(m_window->menuAction(QString::fromLatin1(separator))->isSeparator());
}

void TestMainWindowUi::menuItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");

    const auto row = [](const char *name, const char *caption, const QKeySequence &shortcut) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(caption) << shortcut;
    };
    row("mnuFile", "ファイル(&F)", {});
    row("mnuNew", "新規作成", {});
    row("mnuWizard", "カラーフィールド　ウイザード", Qt::Key_F2);
    row("mnuFieldColor", "カラーフィールド", Qt::Key_F3);
    row("mnuColor", "ランダムドット（カラー）", Qt::Key_F4);
    row("mnuMono", "ランダムドット（モノクロ）", Qt::Key_F5);
    row("mnuOpen", "開く", {});
    row("mnuSave", "上書き保存", Qt::CTRL | Qt::Key_S);
    row("mnuSaveName", "名前を付けて保存", Qt::CTRL | Qt::Key_K);
    row("mnuSaveGazou", "画像の保存", {});
    row("mnuSaveDesign", "デザイン画像", Qt::CTRL | Qt::Key_B);
    row("mnuSaveField", "フィールド画像", Qt::CTRL | Qt::Key_H);
    row("mnuSaveStereo", "ステレオアート画像", Qt::CTRL | Qt::Key_A);
    row("mnuClose", "閉じる", Qt::CTRL | Qt::Key_Q);
    row("mnuPrint", "印刷", Qt::CTRL | Qt::Key_P);
    row("mnuEnd", "終了(&X)", {});
    row("mnuHensyuu", "編集(&E)", {});
    row("mnuEditer", "エディタ", {});
    row("mnuEditerChoice", "選択", Qt::CTRL | Qt::Key_W);
    row("mnuEditerBoot", "起動", Qt::CTRL | Qt::Key_E);
    row("mnuCut", "切り取り", Qt::CTRL | Qt::Key_X);
    row("mnuCopy", "コピー", Qt::CTRL | Qt::Key_C);
    row("mnuPaste", "貼り付け", Qt::CTRL | Qt::Key_V);
    row("mnuClear", "消去", Qt::CTRL | Qt::Key_D);
    row("mnuIns", "挿入(&I)", {});
    row("mnuInsDesign", "デザイン画像", Qt::CTRL | Qt::Key_G);
    row("mnuInsField", "フィールド画像", Qt::CTRL | Qt::Key_F);
    row("mnuInsStereo", "ステレオ画像", Qt::CTRL | Qt::Key_J);
    row("mnuConvert", "変換(&R)", {});
    row("mnuConvStart", "開始", Qt::Key_F6);
    row("mnuConvStop", "中断", Qt::Key_F7);
    row("mnuConvExit", "中止", Qt::Key_F8);
    row("mnuWindow", "ウィンドウ(&W)", {});
    row("mnuHelp", "ヘルプ(&H)", {});
    row("mnuInfomation", "バージョン情報", Qt::CTRL | Qt::Key_I);
    row("mnuSetumei", "使い方など", Qt::Key_F1);
}

void TestMainWindowUi::menuItems()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QAction *action = m_window->menuAction(name);
    QVERIFY(action);
    QCOMPARE(action->objectName(), name);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    if (action->menu())
        QCOMPARE(action->menu()->objectName(), name);
}

void TestMainWindowUi::toolbar()
{
    struct Expected
    {
        const char *key;
        const char *tooltip;
    };
    const Expected expected[14] = {
        {"New", "新規作成（カラーフィールド　ウィザード）"},
        {"Open", "開く"}, {"Save", "上書き保存"}, {"Printer", "印刷"}, {nullptr, nullptr},
        {"Cut", "切り取り"}, {"Copy", "コピー"}, {"Paste", "貼り付け"},
        {"Ins", "挿入（デザイン画像）"}, {nullptr, nullptr},
        {"Start", "開始"}, {"Stop", "中断"}, {"Exit", "中止"}, {nullptr, nullptr},
    };
    auto *toolBar = m_window->findChild<QToolBar *>(QStringLiteral("Toolbar1"));
    QVERIFY(toolBar);
    const QList<QAction *> onBar = toolBar->actions();
    QCOMPARE(onBar.size(), 14);
    for (int index = 1; index <= 14; ++index) {
        const Expected &e = expected[index - 1];
        QAction *button = m_window->button(index);
        QVERIFY2(button, qPrintable(QString::number(index)));
        if (index == 1 || index == 9) {
            // the drop-down buttons stand on the bar as widgets driven by their face action
            QCOMPARE(toolBar->widgetForAction(onBar.at(index - 1)),
                     m_window->dropDownButton(index));
        } else {
            QCOMPARE(onBar.at(index - 1), button);
        }
        QCOMPARE(button->isSeparator(), e.key == nullptr);
        if (!e.key)
            continue;
        QCOMPARE(button->data().toString(), QString::fromLatin1(e.key));
        QCOMPARE(button->toolTip(), QString::fromUtf8(e.tooltip));
        QVERIFY(!button->icon().isNull());
    }
    QVERIFY(!m_window->button(0));
    QVERIFY(!m_window->button(15));
}

void TestMainWindowUi::dropDownButtons()
{
    const QList<std::pair<int, QStringList>> items = {
        {1, {"StereoWiz", "Stereo", "RandomColor", "RandomMono"}},
        {9, {"InsDesign", "InsField", "InsStereo"}},
    };
    const QStringList texts = {"カラーフィールド　ウィザード", "カラーフィールド",
                               "ランダムドット（カラー）", "ランダムドット（モノクロ）",
                               "デザイン画像", "フィールド画像", "ステレオ画像"};
    int n = 0;
    for (const auto &[index, keys] : items) {
        QToolButton *button = m_window->dropDownButton(index);
        QVERIFY(button);
        QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
        QCOMPARE(button->defaultAction(), m_window->button(index));
        QVERIFY(button->menu());
        const QList<QAction *> actions = button->menu()->actions();
        QCOMPARE(actions.size(), keys.size());
        for (int i = 0; i < keys.size(); ++i, ++n) {
            QCOMPARE(actions.at(i), m_window->dropDownItem(keys.at(i)));
            QCOMPARE(actions.at(i)->data().toString(), keys.at(i));
            QCOMPARE(actions.at(i)->text(), texts.at(n));
        }
        // the button greys with its face action
        m_window->setButtonEnabled(index, true);
        QVERIFY(button->isEnabled());
        m_window->setButtonEnabled(index, false);
        QVERIFY(!button->isEnabled());
    }
    QVERIFY(!m_window->dropDownButton(2));
}

void TestMainWindowUi::commands_data()
{
    QTest::addColumn<QString>("control");  // menu name, "#n" for button n, or drop-down key
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("source");

    const QString none;
    const QString fromFile = QStringLiteral("FromFile");
    QTest::newRow("mnuSave") << "mnuSave" << "MDImnuSave" << none;
    QTest::newRow("button Save") << "#3" << "MDImnuSave" << none;
    QTest::newRow("mnuSaveName") << "mnuSaveName" << "MDImnuSaveName" << none;
    QTest::newRow("mnuSaveDesign") << "mnuSaveDesign" << "MDImnuSaveDesign" << none;
    QTest::newRow("mnuSaveField") << "mnuSaveField" << "MDImnuSaveField" << none;
    QTest::newRow("mnuSaveStereo") << "mnuSaveStereo" << "MDImnuSaveStereo" << none;
    QTest::newRow("mnuClose") << "mnuClose" << "MDImnuClose" << none;
    QTest::newRow("mnuPrint") << "mnuPrint" << "MDImnuPrint" << none;
    QTest::newRow("button Printer") << "#4" << "MDImnuPrint" << none;
    QTest::newRow("mnuInsDesign") << "mnuInsDesign" << "MDImnuInsDesign" << fromFile;
    QTest::newRow("mnuInsField") << "mnuInsField" << "MDImnuInsField" << fromFile;
    QTest::newRow("mnuInsStereo") << "mnuInsStereo" << "MDImnuInsStereo" << fromFile;
    QTest::newRow("button Ins") << "#9" << "MDImnuInsDesign" << fromFile;
    QTest::newRow("InsDesign") << "InsDesign" << "MDImnuInsDesign" << fromFile;
    QTest::newRow("InsField") << "InsField" << "MDImnuInsField" << fromFile;
    QTest::newRow("InsStereo") << "InsStereo" << "MDImnuInsStereo" << fromFile;
    QTest::newRow("mnuConvStart") << "mnuConvStart" << "MDImnuConvStart" << none;
    QTest::newRow("button Start") << "#11" << "MDImnuConvStart" << none;
}

void TestMainWindowUi::commands()
{
    QFETCH(QString, control);
    QFETCH(QString, word);
    QFETCH(QString, source);
    QAction *action = control.startsWith(QLatin1Char('#'))
                          ? m_window->button(control.mid(1).toInt())
                          : m_window->menuAction(control);
    if (!action)
        action = m_window->dropDownItem(control);
    QVERIFY(action);
    // every enclosing menu open for the command
    for (const char *name : {"mnuFile", "mnuSaveGazou", "mnuIns", "mnuConvert"})
        m_window->setMenuEnabled(name, true);
    action->setEnabled(true);
    m_window->shared().InsertSource = testfiles::sourceWord(QStringLiteral("CBpicBefore"));
    action->trigger();
    QCOMPARE(m_window->shared().CommandWord.text(), word);
    QCOMPARE(m_window->shared().InsertSource.text(),
             source.isEmpty() ? QStringLiteral("CBpicBefore") : source);
}

void TestMainWindowUi::itemsUnderGreyedMenuDoNotRun()
{
    // While a conversion runs 画像の保存 is greyed although its items are not: their shortcuts
    // must not reach the running document either.
    m_window->SetConvRunning();
    QAction *saveDesign = m_window->menuAction(QStringLiteral("mnuSaveDesign"));
    QVERIFY(saveDesign->isEnabled());
    QVERIFY(!m_window->isMenuEnabled(QStringLiteral("mnuSaveGazou")));
    m_window->shared().CommandWord = testfiles::commandWord(QStringLiteral("MDImnuConvStart"));
    saveDesign->trigger();
    QCOMPARE(m_window->shared().CommandWord.text(), QStringLiteral("MDImnuConvStart"));

    m_window->setMenuEnabled(QStringLiteral("mnuSaveGazou"), true);
    m_window->setMenuEnabled(QStringLiteral("mnuFile"), false);
    saveDesign->trigger();
    QCOMPARE(m_window->shared().CommandWord.text(), QStringLiteral("MDImnuConvStart"));

    m_window->setMenuEnabled(QStringLiteral("mnuFile"), true);
    saveDesign->trigger();
    QCOMPARE(m_window->shared().CommandWord.text(), QStringLiteral("MDImnuSaveDesign"));
}

void TestMainWindowUi::shortcutsReachMenuItems()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(m_window->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(m_window->shared().ColourWord.text(), QStringLiteral("Mono"));

    m_window->SetConvRunning();
    m_window->shared().CommandWord = testfiles::commandWord(QStringLiteral("MDImnuConvStart"));
    QTest::keyClick(m_window.get(), Qt::Key_B, Qt::ControlModifier);  // 画像の保存 is greyed
    QCOMPARE(m_window->shared().CommandWord.text(), QStringLiteral("MDImnuConvStart"));
    QTest::keyClick(m_window.get(), Qt::Key_F7);
    QVERIFY(m_window->shared().PauseRequested);
}

void TestMainWindowUi::sliders()
{
    struct Expected
    {
        const char *name;
        const char *caption;
        int maximum, page, tick;
    };
    const Expected expected[3] = {{"sldKurikaesi", "繰返幅", 200, 10, 20},
                                  {"sldRittaido", "立体度", 50, 5, 5},
                                  {"sldMitudo", "密度", 100, 5, 10}};
    for (int i = 0; i < 3; ++i) {
        QSlider *slider = m_window->slider(i);
        QCOMPARE(slider->objectName(), QString::fromLatin1(expected[i].name));
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), expected[i].maximum);
        QCOMPARE(slider->singleStep(), 1);
        QCOMPARE(slider->pageStep(), expected[i].page);
        QCOMPARE(slider->tickInterval(), expected[i].tick);
        QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        QVERIFY(slider->width() >= 120 || slider->minimumWidth() >= 120);
        QLabel *caption = m_window->caption(i);
        QCOMPARE(caption->objectName(), QStringLiteral("Text1_%1").arg(i));
        QCOMPARE(caption->text(), QString::fromUtf8(expected[i].caption));
    }
    QVERIFY(!m_window->slider(3));
    QVERIFY(!m_window->caption(-1));
}

void TestMainWindowUi::statusPanels()
{
    const QStringList tooltips = {"", "繰返幅", "立体度", "密度", "画像サイズ"};
    const QStringList keys = {"", "KurikaesiHaba", "Rittaido", "Mitudo", "Size"};
    m_window->resize(900, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    int x = -1;
    for (int panel = 1; panel <= 5; ++panel) {
        QLabel *label = m_window->statusPanel(panel);
        QCOMPARE(label->objectName(), QStringLiteral("StatusPanel%1").arg(panel));
        QCOMPARE(label->toolTip(), tooltips.at(panel - 1));
        QCOMPARE(label->property("key").toString(), keys.at(panel - 1));
        QVERIFY2(label->x() > x, "panels stand left to right");
        x = label->x();
        if (panel > 1)
            QCOMPARE(label->width(), 96);
    }
    // panel 1 takes what the others leave
    QVERIFY(m_window->statusPanel(1)->width() > 96 * 4);

    // Panel 1 keeps its whole text; what does not fit is shortened in the middle, and the whole
    // text is offered as the tooltip then.
    auto *message = qobject_cast<lumivex::shell::MessagePanel *>(m_window->statusPanel(1));
    QVERIFY(message);
    const auto askToolTip = [message] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), message->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(message, &help);
    };
    const QString shortPath = QStringLiteral("/tmp/Vexart1.tmp");
    m_window->setStatusText(1, shortPath);
    QCOMPARE(message->shownText(), shortPath);
    askToolTip();
    QVERIFY(!QToolTip::isVisible());
    const QString longPath = QStringLiteral("/home/user/") +
                             QStringLiteral("ステレオグラムの作品/").repeated(12) +
                             QStringLiteral("最後のプロジェクト.lvd");
    m_window->setStatusText(1, longPath);
    QCOMPARE(message->text(), longPath);
    const QString shown = message->shownText();
    QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
    QVERIFY(shown.startsWith(QStringLiteral("/home/user/")));
    QVERIFY(shown.endsWith(QStringLiteral("最後のプロジェクト.lvd")));
    QVERIFY(message->fontMetrics().horizontalAdvance(shown) <= message->contentsRect().width());
    QCOMPARE(m_window->width(), 900);  // a long message does not widen the window
    askToolTip();
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), longPath);
    m_window->setStatusText(5, QStringLiteral("640 × 480"));
    QCOMPARE(m_window->statusPanel(5)->text(), QStringLiteral("640 × 480"));
    QVERIFY(!m_window->statusPanel(0));
    QVERIFY(!m_window->statusPanel(6));
}

void TestMainWindowUi::sliderChangeWritesItsKey_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("shown");
    QTest::newRow("repeat width") << 0 << "KurikaesiHaba" << 120 << 120;
    QTest::newRow("depth") << 1 << "Rittaido" << 33 << 33;
    QTest::newRow("density") << 2 << "Mitudo" << 0 << 0;
    QTest::newRow("repeat width beyond range") << 0 << "KurikaesiHaba" << 250 << 200;
}

void TestMainWindowUi::sliderChangeWritesItsKey()
{
    QFETCH(int, index);
    QFETCH(QString, key);
    QFETCH(int, value);
    QFETCH(int, shown);
    const QString path = m_dir->filePath(QStringLiteral("Vexart1.tmp"));
    m_window->shared().StateFilePath = path;
    m_window->setSliderValue(index, 17);
    m_window->setSliderValue(index, value);
    QCOMPARE(m_window->slider(index)->value(), shown);
    QCOMPARE(iniValue(path, key.toLatin1().constData()), QString::number(shown));
    QCOMPARE(m_window->statusPanel(index + 2)->text(), QString::number(shown));

    // A user's move goes the same way.
    m_window->setSliderEnabled(index, true);
    const bool atTop = shown == m_window->slider(index)->maximum();
    m_window->slider(index)->triggerAction(atTop ? QAbstractSlider::SliderSingleStepSub
                                                 : QAbstractSlider::SliderSingleStepAdd);
    const QString moved = QString::number(atTop ? shown - 1 : shown + 1);
    QCOMPARE(iniValue(path, key.toLatin1().constData()), moved);
    QCOMPARE(m_window->statusPanel(index + 2)->text(), moved);

    // No document: the panel still follows, no file is made.
    m_window->shared().StateFilePath.clear();
    m_window->setSliderValue(index, 5);
    QCOMPARE(m_window->statusPanel(index + 2)->text(), QStringLiteral("5"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("Vexart1.tmp")});
}

void TestMainWindowUi::sliderTooltipFollowsMouse()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QSlider *slider = m_window->slider(1);
    m_window->setSliderEnabled(1, true);
    for (int value : {20, 42}) {
        slider->setValue(value);
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), slider->mapToGlobal(QPointF(5, 5)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(slider, &move);
        QCOMPARE(slider->toolTip(), QString::number(value));
    }
}

void TestMainWindowUi::conversionStates_data()
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

void TestMainWindowUi::conversionStates()
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

void TestMainWindowUi::runningStateLocksDocumentControls()
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

void TestMainWindowUi::endedStateRestoresFromFile()
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

void TestMainWindowUi::docStateRoundTrip()
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
    QCOMPARE(entryLines(m_window->docStateFromControls(), path), entryLines(state, path));
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
    QCOMPARE(entryLines(m_window->docStateFromControls(), path), entryLines(state, path));
    strip->setEnabled(true);

    // through the file and back
    m_window->WriteDocState();
    m_window->shared().StateFilePath.clear();  // resetting the controls must not touch the file
    m_window->applyDocState(DocState());
    m_window->shared().StateFilePath = path;
    m_window->ReadDocState();
    QCOMPARE(entryLines(m_window->docStateFromControls(), path), entryLines(state, path));
}

void TestMainWindowUi::editMenuUsesItsOwnKey()
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

void TestMainWindowUi::insFieldItemFollowsMenuItem()
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

void TestMainWindowUi::newDocumentStates_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("mitudo");
    QTest::addColumn<bool>("fieldAllowed");
    QTest::newRow("mono") << "mnuMono" << 30 << false;
    QTest::newRow("colour") << "mnuColor" << 30 << false;
    QTest::newRow("colour field") << "mnuFieldColor" << 0 << true;
}

void TestMainWindowUi::newDocumentStates()
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

void TestMainWindowUi::windowMenuListsDocuments()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->menuAction(QStringLiteral("mnuMono"))->trigger();
    m_window->menuAction(QStringLiteral("mnuColor"))->trigger();
    const QList<QMdiSubWindow *> windows = m_window->mdiArea()->subWindowList();
    QCOMPARE(windows.size(), 2);
    QCOMPARE(m_window->mdiArea()->activeSubWindow(), windows.at(1));

    QMenu *windowMenu = m_window->menuAction(QStringLiteral("mnuWindow"))->menu();
    emit windowMenu->aboutToShow();
    QList<QAction *> entries = windowMenu->actions();
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries.at(0)->text().endsWith(windows.at(0)->windowTitle()));
    QVERIFY(entries.at(1)->text().endsWith(windows.at(1)->windowTitle()));
    QVERIFY(!entries.at(0)->isChecked());
    QVERIFY(entries.at(1)->isChecked());

    entries.at(0)->trigger();
    QCOMPARE(m_window->mdiArea()->activeSubWindow(), windows.at(0));
    emit windowMenu->aboutToShow();
    entries = windowMenu->actions();
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries.at(0)->isChecked());
}

void TestMainWindowUi::ctrlTabSwitchesDocuments()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (int i = 0; i < 3; ++i)
        m_window->menuAction(QStringLiteral("mnuMono"))->trigger();
    QMdiArea *area = m_window->mdiArea();
    const QList<QMdiSubWindow *> windows = area->subWindowList();
    QCOMPARE(windows.size(), 3);
    QCOMPARE(area->activeSubWindow(), windows.at(2));

    // The keys work wherever the focus is inside the active document window: on the window
    // itself, on a pane inside it, or with the document area holding it.
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, key, modifiers);
    };
    const Qt::KeyboardModifiers back = Qt::ControlModifier | Qt::ShiftModifier;
    const QList<std::function<QWidget *(QMdiSubWindow *)>> focusPlaces = {
        [](QMdiSubWindow *window) -> QWidget * { return window; },
        [](QMdiSubWindow *window) -> QWidget * {
            auto *pane = window->findChild<QWidget *>(QStringLiteral("picContBefore"));
            pane->setFocusPolicy(Qt::StrongFocus);
            return pane;
        },
        [area](QMdiSubWindow *) -> QWidget * { return area; },
    };
    for (const auto &place : focusPlaces) {
        QWidget *focus = place(area->activeSubWindow());
        focus->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), focus);
        QMdiSubWindow *before = area->activeSubWindow();
        const int at = windows.indexOf(before);
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(area->activeSubWindow(), windows.at((at + 1) % 3));
        press(Qt::Key_Backtab, back);
        QCOMPARE(area->activeSubWindow(), before);
        press(Qt::Key_Backtab, back);
        QCOMPARE(area->activeSubWindow(), windows.at((at + 2) % 3));
    }

    // While a run holds the lock, the documents stay where they are.
    QMdiSubWindow *running = area->activeSubWindow();
    m_window->shared().Converting = true;
    press(Qt::Key_Tab, Qt::ControlModifier);
    press(Qt::Key_Backtab, back);
    QCOMPARE(area->activeSubWindow(), running);
    m_window->shared().Converting = false;
}

void TestMainWindowUi::pictures()
{
    const QStringList keys = {"New", "open", "Save", "Printer", "Cut", "Copy",
                              "Paste", "Ins", "Start", "Stop", "Exit", "Help"};
    QSet<QByteArray> seen;
    for (const QString &key : keys) {
        const QIcon icon = lumivex::shell::toolIcon(key);
        QVERIFY2(!icon.isNull(), qPrintable(key));
        const QImage image = icon.pixmap(16, 16).toImage();
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                               image.sizeInBytes()));
    }
    QCOMPARE(seen.size(), keys.size());  // twelve different pictures
    QVERIFY(lumivex::shell::toolIcon(QStringLiteral("Open")).isNull());
    for (int id : {101, 102, 103, 104})
        QVERIFY(!lumivex::shell::documentIcon(id).isNull());
    QVERIFY(lumivex::shell::documentIcon(105).isNull());
    QVERIFY(!m_window->windowIcon().isNull());
}

void TestMainWindowUi::disabledButtonsLookDisabled()
{
    // Against the toolbar's background, a disabled button's picture must stand out far less than
    // the enabled one, and in grey: a shade of grey more on a white and grey picture (copy,
    // paste, printer) is not enough to tell a button that does nothing.
    const QColor background = QApplication::palette().color(QPalette::Window);
    const auto contrast = [&background](const QImage &image) {
        int strongest = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const double a = c.alphaF();
                for (int channel = 0; channel < 3; ++channel) {
                    const int own = channel == 0 ? c.red() : channel == 1 ? c.green() : c.blue();
                    const int back = channel == 0 ? background.red()
                                     : channel == 1 ? background.green() : background.blue();
                    strongest = std::max(strongest, int(std::abs(a * (own - back))));
                }
            }
        }
        return strongest;
    };
    for (int index : {2, 3, 4, 6, 7, 8, 11, 12, 13}) {
        const QIcon icon = m_window->button(index)->icon();
        for (int size : {16, 24}) {
            const QImage normal = icon.pixmap(size, size, QIcon::Normal).toImage();
            const QImage disabled = icon.pixmap(size, size, QIcon::Disabled)
                                        .toImage()
                                        .convertToFormat(QImage::Format_ARGB32);
            const QString what = QStringLiteral("button %1 at %2").arg(index).arg(size);
            QVERIFY2(contrast(disabled) * 2 <= contrast(normal), qPrintable(what));
            for (int y = 0; y < disabled.height(); ++y) {
                for (int x = 0; x < disabled.width(); ++x) {
                    const QColor c = disabled.pixelColor(x, y);
                    if (c.alpha() > 0)
                        QVERIFY2(c.red() == c.green() && c.green() == c.blue(), qPrintable(what));
                }
            }
        }
    }
}

void TestMainWindowUi::helpPageMatchesTheProgram()
{
    QFile file(m_window->helpPage());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(file.readAll());
    const auto plain = [](QString html) {
        return html.remove(QRegularExpression(QStringLiteral("<[^>]*>"))).trimmed();
    };
    const auto tableOf = [&page](const QString &opening) {
        const qsizetype start = page.indexOf(opening);
        return start < 0 ? QString() : page.mid(start, page.indexOf(QStringLiteral("</table>"), start) - start);
    };
    const auto captionOf = [](QString caption) {
        return caption.remove(QRegularExpression(QStringLiteral("\\(&.\\)"))).trimmed();
    };

    // The key list: one row per item, "menu → submenu", item and key, as the program has them.
    QMap<QString, QString> written;
    QString menu;
    const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"),
                                 QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"));
    for (auto rows = row.globalMatch(tableOf(QStringLiteral("<table class=\"keys\">"))); rows.hasNext();) {
        QStringList cells;
        for (auto found = cell.globalMatch(rows.next().captured(1)); found.hasNext();)
            cells.append(plain(found.next().captured(1)));
        if (cells.size() == 3)
            menu = cells.takeFirst();
        if (cells.size() == 2)
            written.insert(menu + QLatin1Char('/') + cells.at(0), cells.at(1));
    }
    QMap<QString, QString> program;
    std::function<void(const QList<QAction *> &, const QString &)> walk;
    walk = [&](const QList<QAction *> &actions, const QString &path) {
        for (QAction *action : actions) {
            if (action->isSeparator())
                continue;
            const QString caption = captionOf(action->text());
            if (QMenu *sub = action->menu())
                walk(sub->actions(), path.isEmpty() ? caption : path + QStringLiteral(" → ") + caption);
            else
                program.insert(path + QLatin1Char('/') + caption,
                               action->shortcut().toString(QKeySequence::PortableText));
        }
    };
    walk(m_window->menuBar()->actions(), QString());
    QCOMPARE(program.size(), 27);  // every item of the menu tree
    for (const char *name : {"nextDocument", "previousDocument"}) {
        const auto *action = m_window->findChild<QAction *>(QString::fromLatin1(name));
        QVERIFY(action);
        const QString item = qstrcmp(name, "nextDocument") == 0 ? QStringLiteral("次の文書に切り替え")
                                                                : QStringLiteral("前の文書に切り替え");
        program.insert(QStringLiteral("ウィンドウ/") + item,
                       action->shortcut().toString(QKeySequence::PortableText));
    }
    QCOMPARE(written, program);
    // The menus' own keys.
    for (QAction *top : m_window->menuBar()->actions()) {
        const QString key = top->text().section(QLatin1Char('&'), 1, 1).left(1);
        const QString line = captionOf(top->text()) + QStringLiteral(" <kbd>Alt</kbd>+<kbd>") + key
                             + QStringLiteral("</kbd>");
        QVERIFY2(page.contains(line), qPrintable(line));
    }

    // The sixteen depth colours and the examples of other colours, as the conversions take them.
    const QRegularExpression level(QStringLiteral(
        "<td>(\\d+)(?:（[^<]*）)?</td><td><span class=\"swatch\" style=\"background:#([0-9a-f]{6})\"></span>"
        "</td><td>(\\d+), (\\d+), (\\d+)</td>"));
    QSet<int> levels;
    for (auto found = level.globalMatch(page); found.hasNext();) {
        const QRegularExpressionMatch m = found.next();
        const int n = m.captured(1).toInt();
        const engine::Packed colour = engine::pack(m.captured(3).toInt(), m.captured(4).toInt(),
                                                   m.captured(5).toInt());
        QCOMPARE(engine::DepthPalette.at(std::size_t(n)), colour);
        QCOMPARE(m.captured(2), QColor::fromRgb(engine::redOf(colour), engine::greenOf(colour),
                                                engine::blueOf(colour)).name().mid(1));
        levels.insert(n);
    }
    QCOMPARE(levels.size(), 16);
    const QRegularExpression example(QStringLiteral(
        "<td><span class=\"swatch\" style=\"background:#([0-9a-f]{6})\"></span></td>"
        "<td>(\\d+), (\\d+), (\\d+)</td><td>(\\d+), (\\d+), (\\d+)</td><td>(\\d+)</td>"));
    int examples = 0;
    for (auto found = example.globalMatch(tableOf(QStringLiteral("<table class=\"examples\">")));
         found.hasNext(); ++examples) {
        const QRegularExpressionMatch m = found.next();
        const int r = m.captured(2).toInt(), g = m.captured(3).toInt(), b = m.captured(4).toInt();
        QCOMPARE(m.captured(1), QColor(r, g, b).name().mid(1));
        QCOMPARE(engine::coarsen(r), m.captured(5).toInt());
        QCOMPARE(engine::coarsen(g), m.captured(6).toInt());
        QCOMPARE(engine::coarsen(b), m.captured(7).toInt());
        QCOMPARE(engine::depthLevel(engine::pack(r, g, b)), m.captured(8).toInt());
    }
    QVERIFY(examples >= 4);

    // The sliders' ranges and a new random-dot document's values.
    m_window->menuAction(QStringLiteral("mnuMono"))->trigger();
    for (int i = 0; i < 3; ++i) {
        const QString line = QStringLiteral("<tr><td>%1</td><td>0～%2</td><td>%3</td>")
                                 .arg(m_window->caption(i)->text())
                                 .arg(m_window->slider(i)->maximum())
                                 .arg(m_window->slider(i)->value());
        QVERIFY2(page.contains(line), qPrintable(line));
    }
}

void TestMainWindowUi::japaneseStandardButtons()
{
    lumivex::shell::installTranslations(*QCoreApplication::instance());
    QCOMPARE(QLocale().language(), QLocale::Japanese);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Lumivex"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY2(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")),
             qPrintable(box.button(QMessageBox::Yes)->text()));
    QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
    QVERIFY(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("キャンセル")));
}

QTEST_MAIN(TestMainWindowUi)
#include "tst_mainwindow_ui.moc"

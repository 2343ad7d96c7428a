// The main window's menus: the tree, each item's caption and key, the commands they post, items
// under a greyed menu, the Window menu and the keys that switch documents, the help page's list
// of keys, and the standard buttons of message boxes in Japanese.
#include "apptest.h"

#include "shell/translations.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>

#include <functional>

using namespace apptest;
namespace engine = lumivex::engine;

namespace {

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

} // namespace

class TestMenus : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuTree();
    void menuItems_data();
    void menuItems();
    void commands_data();
    void commands();
    void itemsUnderGreyedMenuDoNotRun();
    void shortcutsReachMenuItems();
    void windowMenuListsDocuments();
    void ctrlTabSwitchesDocuments();
    void helpPageMatchesTheProgram();
    void helpPagesHaveTheSameSections();
    void japaneseStandardButtons();

private:
    std::unique_ptr<App> m_app;
    MainWindow *m_window = nullptr;  ///< the App's, never shown unless a test shows it
};

void TestMenus::init()
{
    m_app = std::make_unique<App>(App::Start::Hidden);
    m_window = m_app->window.get();
}

void TestMenus::cleanup()
{
    m_app.reset();
}

void TestMenus::menuTree()
{
    const QString expected = QStringLiteral(
        "mnuFile[mnuNew[mnuWizard mnuFieldColor mnuColor mnuMono] mnuBar1 mnuOpen mnuSave "
        "mnuSaveName mnuSaveGazou[mnuSaveDesign mnuSaveField mnuSaveStereo] mnuClose mnuBar3 "
        "mnuPrint mnuPrintPreview mnuBar4 mnuEnd] "
        "mnuHensyuu[mnuEditer[mnuEditerChoice mnuEditerBoot] mnuBar5 mnuCut mnuCopy mnuPaste "
        "mnuBar6 mnuClear] "
        "mnuIns[mnuInsDesign mnuInsField mnuInsStereo] "
        "mnuConvert[mnuConvStart mnuConvStop mnuConvExit mnuBarExtras mnuReveal mnuFullView mnuFitPane mnuBarChecks "
        "mnuGuides mnuAutoConvert mnuBarDepth mnuInvertDepth mnuStereoCheck "
        "mnuSeeIn3D[mnuSee3DAnaglyph mnuSee3DParallel mnuSee3DCross mnuSee3DWiggle]] mnuWindow[] "
        "mnuHelp[mnuInfomation mnuSetumei]");
    QCOMPARE(treeOf(m_window->menuBar()->actions()), expected);
    for (const char *separator : {"mnuBar1", "mnuBar3", "mnuBar4", "mnuBar5", "mnuBar6"})
        QVERIFY(m_window->menuAction(QString::fromLatin1(separator))->isSeparator());
}

void TestMenus::menuItems_data()
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
    row("mnuPrintPreview", "印刷プレビュー...", {});
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

void TestMenus::menuItems()
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

void TestMenus::commands_data()
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

void TestMenus::commands()
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

void TestMenus::itemsUnderGreyedMenuDoNotRun()
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

void TestMenus::shortcutsReachMenuItems()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_F5);
    QCOMPARE(m_window->mdiArea()->subWindowList().size(), 1);
    QCOMPARE(m_window->shared().ColourWord.text(), QStringLiteral("Mono"));
    // Ctrl+W chooses the editor although the document window's own menu would close on it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(m_app->prompts.asked.size(), 1);  // the editor file dialog
    // Ctrl+F4 closes the document the focus is in, through its close question.
    m_app->prompts.answers = {lumivex::prompts::Prompts::Answer::No};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::ControlModifier);
    QTRY_COMPARE(m_window->mdiArea()->subWindowList().size(), 0);
    QCOMPARE(m_app->asked(QStringLiteral("question")).size(), 1);
    QTest::keyClick(m_window, Qt::Key_F5);

    m_window->SetConvRunning();
    m_window->shared().CommandWord = testfiles::commandWord(QStringLiteral("MDImnuConvStart"));
    QTest::keyClick(m_window, Qt::Key_B, Qt::ControlModifier);  // 画像の保存 is greyed
    QCOMPARE(m_window->shared().CommandWord.text(), QStringLiteral("MDImnuConvStart"));
    QTest::keyClick(m_window, Qt::Key_F7);
    QVERIFY(m_window->shared().PauseRequested);
}

void TestMenus::windowMenuListsDocuments()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
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

void TestMenus::ctrlTabSwitchesDocuments()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
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

void TestMenus::helpPageMatchesTheProgram()
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
    QCOMPARE(program.size(), 39);  // every item of the menu tree
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

void TestMenus::helpPagesHaveTheSameSections()
{
    // Section by section both pages have as many items, rows, links and mentions of PNG, and
    // name the same keys.
    const auto sections = [](const QString &name) {
        QFile file(lumivex::document::shippedFolder() + QStringLiteral("/Help/") + name);
        QStringList result{QString::number(file.open(QIODevice::ReadOnly))};
        for (const QString &part : QString::fromUtf8(file.readAll()).split(QStringLiteral("<h2")).mid(1)) {
            QStringList keys = part.split(QStringLiteral("<kbd>")).mid(1);
            for (QString &key : keys)
                key.truncate(key.indexOf(QStringLiteral("</kbd>")));
            keys.sort();
            result << part.section(u'>', 0, 0) + keys.join(u' ');
            for (const char *tag : {"<li", "<tr", "<a ", "PNG"})
                result.last() += QStringLiteral(" %1").arg(part.count(QLatin1String(tag)));
        }
        return result;
    };
    QCOMPARE(sections(QStringLiteral("Help01_en.htm")), sections(QStringLiteral("Help01.htm")));
}

void TestMenus::japaneseStandardButtons()
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

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"

// The main window in both languages: with English chosen its menus, toolbar, parameter strip
// and status bar, the version box and the messages met on the way show no Japanese (any left is
// named, with the state the window was in), from start-up through new documents and a run that
// is paused, continued and ended; with Japanese they are the program's own text.
#include "apptest.h"
#include "japanesetext.h"

#include "shell/translations.h"
#include "shell/versionbox.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>

#include <utility>

using apptest::App;
using apptest::RowHook;
using lumivex::shell::Language;

namespace {

QString caption(const App &app, const char *name)
{
    return app.window->menuAction(QString::fromLatin1(name))->text();
}

/// Adds to problems each item of these menus and submenus with no access key or a shared one.
void checkAccessKeys(const QList<QAction *> &actions, const QString &where, QStringList &problems)
{
    QStringList keys;
    for (QAction *action : actions) {
        const QString key = QKeySequence::mnemonic(action->text()).toString();
        if (!action->isSeparator() && action->isVisible() && (key.isEmpty() || keys.contains(key)))
            problems << where + QStringLiteral(": ") + action->text();
        keys << key;
        if (QMenu *menu = action->menu())
            checkAccessKeys(menu->actions(), where + QStringLiteral(" > ") + action->text(), problems);
    }
}

/// The Window menu lists the documents only when it opens.
void fillWindowMenu(const App &app)
{
    emit app.window->menuAction(QStringLiteral("mnuWindow"))->menu()->aboutToShow();
}

} // namespace

class TestMainWindowEnglish : public QObject
{
    Q_OBJECT

private slots:
    void english();
    void japanese();

private:
    /// The Japanese left in the main window, each named once, led by the first state it was
    /// found in.
    void look(const App &app, const QString &state)
    {
        fillWindowMenu(app);
        for (const QString &text : japanesetext::japaneseTexts(app.window.get())) {
            if (!std::exchange(m_seen[text], true))
                m_left << state + QStringLiteral(": ") + text;
        }
    }

    QStringList m_left;
    QHash<QString, bool> m_seen;
};

void TestMainWindowEnglish::english()
{
    qputenv("LUMIVEX_LANG", "en");
    QCOMPARE(lumivex::shell::installTranslations(*qApp), Language::English);
    m_left.clear();
    m_seen.clear();

    App app(App::Start::FreshSettings);
    look(app, QStringLiteral("no document"));
    // The names the English help page uses for the menus, their keys and the toolbar.
    const std::pair<const char *, const char *> names[] = {
        {"mnuFile", "&File"}, {"mnuWizard", "Colour Field Wizard"}, {"mnuMono", "Random Dot (Monochrome)"},
        {"mnuSaveName", "Save As"}, {"mnuSaveStereo", "Stereo Picture"}, {"mnuEnd", "E&xit"},
        {"mnuHensyuu", "&Edit"}, {"mnuEditerBoot", "Launch"}, {"mnuIns", "&Insert"},
        {"mnuConvert", "Conve&rt"}, {"mnuConvStop", "Pause"}, {"mnuConvExit", "Abort"},
        {"mnuWindow", "&Window"}, {"mnuHelp", "&Help"}, {"mnuSetumei", "How to Use"},
        {"mnuFullView", "Full View"}, {"mnuGuides", "Guide Marks"}, {"mnuAutoConvert", "Live Conversion"},
        {"mnuInvertDepth", "Invert depth"}, {"mnuSeeIn3D", "See in 3-D"}, {"mnuSee3DParallel", "Side by side (parallel)"},
    };
    for (const auto &[name, english] : names)
        QCOMPARE(caption(app, name).remove(u'&'), QString::fromUtf8(english).remove(u'&'));
    QCOMPARE(app.window->button(1)->toolTip(), QStringLiteral("New (Colour Field Wizard)"));
    for (int i = 0; i < 3; ++i) {  // the captions are whole at the window's first size
        const QLabel *label = app.window->caption(i);
        QVERIFY(label->contentsRect().width() >= label->fontMetrics().horizontalAdvance(label->text()));
    }
    QCOMPARE(app.window->caption(0)->text(), QStringLiteral("Repeat width"));

    app.newColour();
    look(app, QStringLiteral("random dot (colour)"));
    app.newField();
    look(app, QStringLiteral("colour field"));

    // A run: looked at while it draws, paused (開始 reads 継続), continued to its end.
    apptest::DocumentWindow *document = app.newMono();
    QVERIFY(document);
    app.putDesign(document, apptest::designPicture(240, 160));
    QCOMPARE(caption(app, "mnuConvStart"), QStringLiteral("&Start"));
    RowHook pause(*app.window, 0, 20, [&] {
        look(app, QStringLiteral("running"));
        app.trigger("mnuConvStop");
    });
    QVERIFY(app.startAndWait());
    QVERIFY(pause.fired());
    QCOMPARE(caption(app, "mnuConvStart"), QStringLiteral("&Continue"));
    QCOMPARE(app.window->button(11)->toolTip(), QStringLiteral("Continue"));
    look(app, QStringLiteral("paused"));
    QVERIFY(app.startAndWait());
    QCOMPARE(caption(app, "mnuConvStart"), QStringLiteral("&Start"));
    QVERIFY(app.menuEnabled("mnuReveal"));
    look(app, QStringLiteral("converted"));
    app.trigger("mnuPrintPreview");  // at 100 mm a poster, with a warning
    app.window->findChild<QDoubleSpinBox *>(QStringLiteral("txtRepeatMm"))->setValue(100);
    look(app, QStringLiteral("print preview"));
    app.window->findChild<QDialog *>(QStringLiteral("PrintPreview"))->close();

    // The pane's context menu: the edit commands and the fit item.
    app.shared().InsertSource = lumivex::document::Source::StereoPane;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu) {
            m_left << QStringLiteral("context menu: not shown");
            return;
        }
        for (const QString &text : japanesetext::japaneseTexts(menu))
            m_left << QStringLiteral("context menu: ") + text;
        checkAccessKeys(menu->actions(), QStringLiteral("context menu"), m_left);
        menu->close();
    });
    app.window->popupEditMenu(app.window->geometry().center());
    fillWindowMenu(app);
    checkAccessKeys(app.window->menuBar()->actions(), QStringLiteral("menu bar"), m_left);

    lumivex::shell::VersionBox box;
    for (const QString &text : japanesetext::japaneseTexts(&box))
        m_left << QStringLiteral("version box: ") + text;
    QCOMPARE(box.windowTitle(), QStringLiteral("Version Information"));
    QVERIFY2(m_left.isEmpty(), qPrintable(m_left.join(u'\n')));

    // The messages: an editor never chosen, the editor dialog's filter, a help page that is
    // not there, a project that is not there, a picture too wide, the close question.
    QVERIFY(app.window->helpPage().endsWith(QStringLiteral("/Help/Help01_en.htm")));
    QVERIFY(QFileInfo::exists(app.window->helpPage()));
    app.trigger("mnuEditerBoot");
    app.trigger("mnuEditerChoice");
    QCOMPARE(app.prompts.asked.last().request.filter, QStringLiteral("Programs (*)"));
    QTemporaryDir dir;
    app.window->setHelpPage(dir.filePath(QStringLiteral("Help01_en.htm")));
    app.trigger("mnuSetumei");
    app.window->openProject(dir.filePath(QStringLiteral("missing.lvd")));
    QVERIFY(App::waitForTick(app.window->activeDocument()));
    const QString wide = dir.filePath(QStringLiteral("wide.png"));
    QVERIFY(apptest::designPicture(1100, 4).save(wide));
    app.window->openPicture(wide);
    app.activate(document);
    app.prompts.answers = {ScriptedPrompts::Answer::Cancel};
    app.trigger("mnuClose");
    QVERIFY(App::waitForTick(document));

    QStringList shown;
    for (const ScriptedPrompts::Asked &asked : std::as_const(app.prompts.asked)) {
        if (asked.kind != u"file")
            shown << asked.kind + QStringLiteral(": ") + asked.text;
    }
    const QStringList expected = {
        QStringLiteral("information: No editor has been chosen yet..."),
        QStringLiteral("exclamation: The help page cannot be found:\n") + dir.filePath(QStringLiteral("Help01_en.htm")),
        QStringLiteral("exclamation: Error 53 occurred in Lumivex.\r\nFile not found."),
    };
    QCOMPARE(shown.mid(0, 3), expected);
    QVERIFY2(shown.at(3).startsWith(QStringLiteral("choice: The design picture is too large.\r\nUse a picture at most 1024 pixels wide.\r\n\r\n")),
             qPrintable(shown.at(3)));
    QVERIFY2(shown.size() == 5, qPrintable(shown.join(u'\n')));
    QVERIFY2(shown.last().startsWith(QStringLiteral("question: Do you want to save")), qPrintable(shown.last()));
}

void TestMainWindowEnglish::japanese()
{
    qputenv("LUMIVEX_LANG", "ja");
    QCOMPARE(lumivex::shell::installTranslations(*qApp), Language::Japanese);

    App app(App::Start::FreshSettings);
    const std::pair<const char *, const char *> names[] = {
        {"mnuFile", "ファイル(&F)"}, {"mnuWizard", "カラーフィールド　ウイザード"}, {"mnuEnd", "終了(&X)"},
        {"mnuConvert", "変換(&R)"}, {"mnuConvStart", "開始"}, {"mnuReveal", "深さを見る"},
        {"mnuAutoConvert", "自動変換"},
    };
    for (const auto &[name, japanese] : names)
        QCOMPARE(caption(app, name), QString::fromUtf8(japanese));
    QCOMPARE(app.window->button(1)->toolTip(), QStringLiteral("新規作成（カラーフィールド　ウィザード）"));
    QCOMPARE(app.window->dropDownItem(QStringLiteral("StereoWiz"))->text(), QStringLiteral("カラーフィールド　ウィザード"));
    QCOMPARE(app.window->caption(1)->text(), QStringLiteral("立体度"));
    QCOMPARE(app.window->statusPanel(5)->toolTip(), QStringLiteral("画像サイズ"));
    QVERIFY(app.window->helpPage().endsWith(QStringLiteral("/Help/Help01.htm")));

    app.trigger("mnuEditerBoot");
    QCOMPARE(app.asked(QStringLiteral("information")), QStringList{QStringLiteral("エディタが設定されていません...")});
    app.newMono();
    app.window->SetConvRunning();
    QCOMPARE(caption(app, "mnuConvStart"), QStringLiteral("継続"));
    app.window->SetConvIdle();
    QCOMPARE(app.window->button(11)->toolTip(), QStringLiteral("開始"));
    QCOMPARE(lumivex::shell::VersionBox().windowTitle(), QStringLiteral("バージョン情報"));
}

QTEST_MAIN(TestMainWindowEnglish)

#include "tst_mainwindow_english.moc"

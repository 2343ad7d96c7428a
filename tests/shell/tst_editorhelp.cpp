// エディタ (選択, 起動), 使い方など and バージョン情報: the editor path kept in the settings file,
// starting it and the help page through a fake launcher, the real launcher's process start, and
// the version box.
#include "scriptedprompts.h"
#include "testservices.h"
#include "shell/helpwindow.h"
#include "shell/launcher.h"
#include "shell/mainwindow.h"
#include "shell/translations.h"

#include "prompts/prompts.h"
#include "document/appsettings.h"
#include "document/inifile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

using lumivex::document::AppSettings;
using lumivex::shell::MainWindow;

namespace {

/// Records what it is asked to start or open and answers as told.
class FakeLauncher : public lumivex::shell::Launcher
{
public:
    struct Started
    {
        QString program;
        QString workingFolder;
    };
    bool succeed = true;
    std::function<void()> fault;  ///< set: the platform call fails with what it throws
    QList<Started> started;
    QStringList opened;
    QList<QUrl> links;

    bool startProgram(const QString &program, const QString &workingFolder) override
    {
        if (fault)
            fault();
        started.append({program, workingFolder});
        return succeed;
    }
    bool openDocument(const QString &path) override
    {
        if (fault)
            fault();
        opened.append(path);
        return succeed;
    }
    bool openLink(const QUrl &url) override
    {
        links.append(url);
        return succeed;
    }
};

QString settingsFile()
{
    return lumivex::document::programFolder() + QStringLiteral("/Lumivex2.lvs");
}

QString editerPath()
{
    return AppSettings().ReadSetting(QString::fromLatin1(AppSettings::kEditerPath));
}

/// Writes a file, executable when asked.
QString makeFile(const QString &path, const QByteArray &content, bool executable)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(content);
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser);
    return path;
}

} // namespace

class TestEditorHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chooseEditor_data();
    void chooseEditor();
    void startEditor_data();
    void startEditor();
    void chosenEditorSurvivesRestart();
    void helpPage_data();
    void helpPage();
    void shippedHelpPageIsComplete();
    void desktopLauncherStartsProgram();
    void desktopLauncherReportsFailure();
    void helpWithoutDesktop();
    void helpWindow_data();
    void helpWindow();
    void unexpectedErrors_data();
    void unexpectedErrors();
    void versionBox();

private:
    void openWindow();
    void trigger(const char *name) { m_window->menuAction(QString::fromLatin1(name))->trigger(); }
    lumivex::shell::HelpWindow *shownHelp() const { return m_window->findChild<lumivex::shell::HelpWindow *>(); }

    ScriptedPrompts m_prompts;
    FakeLauncher m_launcher;
    testservices::TestServices m_services{m_prompts};
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestEditorHelp::init()
{
    QFile::remove(settingsFile());
    m_prompts.answers.clear();
    m_prompts.files.clear();
    m_prompts.asked.clear();
    m_launcher.succeed = true;
    m_launcher.fault = nullptr;
    m_launcher.started.clear();
    m_launcher.opened.clear();
    m_launcher.links.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    openWindow();
}

void TestEditorHelp::cleanup()
{
    m_window.reset();
    m_dir.reset();
    QFile::remove(settingsFile());
}

void TestEditorHelp::openWindow()
{
    m_window.reset();
    m_services.launcher.use(&m_launcher);
    m_window = std::make_unique<MainWindow>(m_services.services());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestEditorHelp::chooseEditor_data()
{
    QTest::addColumn<QString>("before");  // "<tools>" stands for a folder of the test
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("folder");  // where the dialog starts

    QTest::newRow("first choice") << QString() << "/usr/bin/gimp" << "/usr/bin/gimp" << "/usr/bin";
    QTest::newRow("replaces the earlier one")
        << "<tools>/paint" << "/opt/krita/krita" << "/opt/krita/krita" << "<tools>";
    QTest::newRow("earlier one's folder gone")
        << "/opt/gone/paint" << "/usr/bin/gimp" << "/usr/bin/gimp" << "/usr/bin";
    QTest::newRow("path with spaces and Japanese")
        << QString() << "/home/ユーザー/My Tools/paint" << "/home/ユーザー/My Tools/paint" << "/usr/bin";
    QTest::newRow("cancel keeps the earlier one") << "<tools>/paint" << QString() << "<tools>/paint" << "<tools>";
    QTest::newRow("cancel with none chosen") << QString() << QString() << QString() << "/usr/bin";
}

void TestEditorHelp::chooseEditor()
{
    QFETCH(QString, before);
    QFETCH(QString, chosen);
    QFETCH(QString, after);
    QFETCH(QString, folder);
    const QString tools = m_dir->filePath(QStringLiteral("my tools"));
    QVERIFY(QDir().mkpath(tools));
    for (QString *value : {&before, &after, &folder})
        value->replace(QStringLiteral("<tools>"), tools);
    if (!before.isEmpty())
        AppSettings().WriteSetting(QString::fromLatin1(AppSettings::kEditerPath), before);
    if (!chosen.isEmpty())
        m_prompts.files.append(chosen);

    trigger("mnuEditerChoice");

    QCOMPARE(m_prompts.asked.size(), 1);
    const auto &request = m_prompts.asked.constFirst().request;
    QVERIFY(!request.save);
    QVERIFY(request.fileName.isEmpty());
    QCOMPARE(request.folder, folder);
    // Programs carry no extension: every name passes, and the listing keeps what may be run.
    QCOMPARE(request.filter, QStringLiteral("実行ファイル(*)"));
    QVERIFY(request.executablesOnly);
    QCOMPARE(editerPath(), after);
    QVERIFY(m_launcher.started.isEmpty());  // choosing does not start it
}

void TestEditorHelp::startEditor_data()
{
    QTest::addColumn<QString>("setting");  // "<exe>", "<plain>", "<missing>" name files of the test
    QTest::addColumn<bool>("launcherSucceeds");
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("message");  // kind: text start

    QTest::newRow("none chosen") << QString() << true << false
                                 << "information:エディタが設定されていません...";
    QTest::newRow("only spaces") << "   " << true << false << "information:エディタが設定されていません...";
    QTest::newRow("starts") << "<exe>" << true << true << QString();
    QTest::newRow("spaces around the path") << "  <exe>  " << true << true << QString();
    QTest::newRow("gone since chosen") << "<missing>" << true << false << "exclamation:エディタが見つかりません。";
    QTest::newRow("a folder") << "<folder>" << true << false << "exclamation:エディタが見つかりません。";
    QTest::newRow("cannot be started") << "<plain>" << false << true
                                       << "exclamation:エディタを起動できませんでした。";
}

void TestEditorHelp::startEditor()
{
    QFETCH(QString, setting);
    QFETCH(bool, launcherSucceeds);
    QFETCH(bool, started);
    QFETCH(QString, message);

    const QString exe = makeFile(m_dir->filePath(QStringLiteral("editor")), "#!/bin/sh\n", true);
    const QString plain = makeFile(m_dir->filePath(QStringLiteral("notes.txt")), "text", false);
    QString value = setting;
    value.replace(QStringLiteral("<exe>"), exe)
        .replace(QStringLiteral("<plain>"), plain)
        .replace(QStringLiteral("<missing>"), m_dir->filePath(QStringLiteral("gone/editor")))
        .replace(QStringLiteral("<folder>"), m_dir->path());
    const QString expectedPath = value.trimmed();
    // Written by hand into the file, as a user might.
    lumivex::document::iniWriteString(settingsFile(), QString::fromLatin1(lumivex::document::kSection),
                                      QString::fromLatin1(AppSettings::kEditerPath), value);
    m_launcher.succeed = launcherSucceeds;

    trigger("mnuEditerBoot");

    QCOMPARE(m_launcher.started.size(), started ? 1 : 0);
    if (started) {
        QCOMPARE(m_launcher.started.constFirst().program, expectedPath);
        QCOMPARE(m_launcher.started.constFirst().workingFolder, lumivex::document::programFolder());
    }
    if (message.isEmpty()) {
        QVERIFY(m_prompts.asked.isEmpty());
        return;
    }
    QCOMPARE(m_prompts.asked.size(), 1);
    const auto &asked = m_prompts.asked.constFirst();
    QCOMPARE(asked.kind, message.section(QLatin1Char(':'), 0, 0));
    QCOMPARE(asked.title, QStringLiteral("Lumivex"));
    QVERIFY2(asked.text.startsWith(message.section(QLatin1Char(':'), 1)), qPrintable(asked.text));
    if (asked.kind == QStringLiteral("exclamation"))
        QVERIFY2(asked.text.contains(expectedPath), qPrintable(asked.text));
    else
        QCOMPARE(asked.text, QStringLiteral("エディタが設定されていません..."));
}

void TestEditorHelp::chosenEditorSurvivesRestart()
{
    const QString exe = makeFile(m_dir->filePath(QStringLiteral("paint tool")), "#!/bin/sh\n", true);
    m_prompts.files.append(exe);
    trigger("mnuEditerChoice");

    openWindow();  // a fresh start reads the settings file
    trigger("mnuEditerBoot");

    QCOMPARE(m_launcher.started.size(), 1);
    QCOMPARE(m_launcher.started.constFirst().program, exe);
    QCOMPARE(m_prompts.asked.size(), 1);  // only the dialog of the choice
}

void TestEditorHelp::helpPage_data()
{
    QTest::addColumn<bool>("pageExists");
    QTest::addColumn<bool>("launcherSucceeds");
    QTest::addColumn<QString>("message");

    QTest::newRow("opens") << true << true << QString();
    QTest::newRow("page missing") << false << true << "ヘルプページが見つかりません。";
    QTest::newRow("no viewer: our own window") << true << false << QString();
}

void TestEditorHelp::helpPage()
{
    QFETCH(bool, pageExists);
    QFETCH(bool, launcherSucceeds);
    QFETCH(QString, message);

    const QString page = m_dir->filePath(QStringLiteral("Help/Help01.htm"));
    if (pageExists) {
        QVERIFY(QDir().mkpath(QFileInfo(page).path()));
        QVERIFY(!makeFile(page, "<html></html>", false).isEmpty());
    }
    m_window->setHelpPage(page);
    m_launcher.succeed = launcherSucceeds;

    trigger("mnuSetumei");

    // The page shows in the program's own window; the desktop is not asked.
    QVERIFY(m_launcher.opened.isEmpty());
    QCOMPARE(shownHelp() && shownHelp()->isVisible(), pageExists);
    if (message.isEmpty()) {
        QCOMPARE(shownHelp()->browser()->source(), QUrl::fromLocalFile(page));
        QVERIFY(m_prompts.asked.isEmpty());
    } else {
        QCOMPARE(m_prompts.asked.size(), 1);
        QCOMPARE(m_prompts.asked.constFirst().kind, QStringLiteral("exclamation"));
        QVERIFY(m_prompts.asked.constFirst().text.startsWith(message));
        QVERIFY(m_prompts.asked.constFirst().text.contains(page));  // so it can be opened by hand
    }
}

void TestEditorHelp::shippedHelpPageIsComplete()
{
    // The page the program finds by itself: the shipped one, with what it refers to.
    const QString page = m_window->helpPage();
    QVERIFY2(page.endsWith(QStringLiteral("/Help/Help01.htm")), qPrintable(page));
    QFile file(page);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(page));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(html.contains(QStringLiteral("charset=\"utf-8\""), Qt::CaseInsensitive));
    for (const char *caption : {"カラーフィールド　ウイザード", "繰返幅", "立体度", "密度", "開始", "平行法"})
        QVERIFY2(html.contains(QString::fromUtf8(caption)), caption);

    trigger("mnuSetumei");
    QCOMPARE(shownHelp()->browser()->source(), QUrl::fromLocalFile(page));
    QCOMPARE(shownHelp()->windowTitle(), QStringLiteral("Lumivex の使い方"));
}

void TestEditorHelp::desktopLauncherStartsProgram()
{
    // The editor starts with no file to open, in the folder it is given.
    const QString out = m_dir->filePath(QStringLiteral("ran.txt"));
    const QString script = makeFile(
        m_dir->filePath(QStringLiteral("editor script")),
        QStringLiteral("#!/bin/sh\n{ echo \"$#\"; pwd; } > \"%1.part\" && mv \"%1.part\" \"%1\"\n").arg(out).toUtf8(),
        true);
    QTemporaryDir work;
    lumivex::shell::DesktopLauncher launcher;
    QVERIFY(launcher.startProgram(script, work.path()));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out), 10000);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{QStringLiteral("0"), QFileInfo(work.path()).canonicalFilePath()}));
}

void TestEditorHelp::desktopLauncherReportsFailure()
{
    lumivex::shell::DesktopLauncher launcher;
    const QString plain = makeFile(m_dir->filePath(QStringLiteral("picture.bmp")), "BM", false);
    QVERIFY(!launcher.startProgram(plain, m_dir->path()));
    QVERIFY(!launcher.startProgram(m_dir->filePath(QStringLiteral("missing")), m_dir->path()));
}

void TestEditorHelp::helpWithoutDesktop()
{
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        QSKIP("only headless: elsewhere a browser would open");
    // The desktop opens nothing here (no browser set up): the page shows in the program's own window.
    m_services.launcher.use(nullptr);
    trigger("mnuSetumei");
    QVERIFY(m_prompts.asked.isEmpty());
    QVERIFY(shownHelp() && shownHelp()->isVisible());
    QVERIFY(shownHelp()->browser()->toPlainText().contains(QStringLiteral("平行法")));
}

void TestEditorHelp::helpWindow_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("link");  // a link of the contents, to the key list
    QTest::addColumn<QString>("word");  // a word the page holds more than once
    QTest::newRow("Japanese") << false << "メニューとショートカット一覧" << "繰返幅";
    QTest::newRow("English") << true << "Menus and shortcut keys" << "repeat width";
}

void TestEditorHelp::helpWindow()
{
    using lumivex::shell::Language;
    QFETCH(bool, english);
    QFETCH(QString, link);
    QFETCH(QString, word);
    const QString page = english ? QStringLiteral("/Help/Help01_en.htm") : QStringLiteral("/Help/Help01.htm");
    lumivex::shell::installTranslations(*qApp, english ? Language::English : Language::Japanese);
    const auto japaneseAgain = qScopeGuard([] { lumivex::shell::installTranslations(*qApp, Language::Japanese); });
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));

    QTest::keyClick(m_window.get(), Qt::Key_F1);
    lumivex::shell::HelpWindow *help = shownHelp();
    QVERIFY(help && QTest::qWaitForWindowExposed(help));
    QTextBrowser *browser = help->browser();
    QVERIFY(browser->source().toLocalFile().endsWith(page));
    QScrollBar *scroll = browser->verticalScrollBar();
    QCOMPARE(scroll->value(), 0);

    // A click on a link of the contents moves to its section.
    const auto click = [browser](const QString &text) {
        QTextCursor at = browser->document()->find(text);
        QVERIFY2(!at.isNull(), qPrintable(text));
        at.setPosition((at.selectionStart() + at.selectionEnd()) / 2);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, browser->cursorRect(at).center());
    };
    click(link);
    QCOMPARE(browser->source().fragment(), QStringLiteral("menus"));
    QVERIFY(scroll->value() > scroll->maximum() / 2);  // the key list is in the page's second half
    QVERIFY(m_launcher.links.isEmpty());
    QTest::keyClick(browser, Qt::Key_Left, Qt::AltModifier);  // 戻る
    QCOMPARE(scroll->value(), 0);

    // Ctrl+F takes the word; Enter finds it and the next, Shift+Enter the one before.
    QTest::keyClick(browser, Qt::Key_F, Qt::ControlModifier);
    auto *find = help->findChild<QLineEdit *>(QStringLiteral("helpFind"));
    QTRY_VERIFY(find->hasFocus());
    QTest::sendKeyEvent(QTest::Press, find, Qt::Key_unknown, word, Qt::NoModifier);  // as an input method gives it
    QCOMPARE(browser->textCursor().selectedText().toLower(), word.toLower());
    const int first = browser->textCursor().selectionStart();
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(browser->textCursor().selectedText().toLower(), word.toLower());
    QVERIFY(browser->textCursor().selectionStart() > first);
    QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(browser->textCursor().selectionStart(), first);
    auto *result = help->findChild<QLabel *>(QStringLiteral("helpFindResult"));
    QVERIFY(result->text().isEmpty());
    find->clear();
    QTest::keyClicks(find, QStringLiteral("zzqx"));
    QVERIFY(!result->text().isEmpty());  // not found, and said

    // The other language's page opens in the window; a web address goes to the desktop.
    click(english ? QStringLiteral("日本語") : QStringLiteral("English"));
    QVERIFY(!browser->source().toLocalFile().endsWith(page));
    emit browser->anchorClicked(QUrl(QStringLiteral("https://example.org/stereo")));
    QCOMPARE(m_launcher.links, QList<QUrl>{QUrl(QStringLiteral("https://example.org/stereo"))});
    QVERIFY(m_prompts.asked.isEmpty());
}

void TestEditorHelp::unexpectedErrors_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("outOfMemory");
    QTest::addColumn<QString>("text");

    const QString broken = QStringLiteral("ｴﾗｰ番号  51Lumivex でｴﾗｰが発生しました。\r\nD-Bus が応答しません");
    const QString memory = QStringLiteral("ｴﾗｰ番号  7Lumivex でｴﾗｰが発生しました。\r\nメモリが不足しています。");
    QTest::newRow("editor") << "mnuEditerBoot" << false << broken;
    QTest::newRow("editor, out of memory") << "mnuEditerBoot" << true << memory;
    // The help page no longer goes through the desktop: a broken desktop does not stop it.
    QTest::newRow("help") << "mnuSetumei" << false << QString();
}

void TestEditorHelp::unexpectedErrors()
{
    QFETCH(QString, command);
    QFETCH(bool, outOfMemory);
    QFETCH(QString, text);
    const QString exe = makeFile(m_dir->filePath(QStringLiteral("editor")), "#!/bin/sh\n", true);
    AppSettings().WriteSetting(QString::fromLatin1(AppSettings::kEditerPath), exe);
    const QString page = m_dir->filePath(QStringLiteral("Help01.htm"));
    makeFile(page, "<html></html>", false);
    m_window->setHelpPage(page);
    m_launcher.fault = [outOfMemory] {
        if (outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error("D-Bus が応答しません");
    };

    trigger(command.toLatin1().constData());

    if (text.isEmpty()) {
        QVERIFY(m_prompts.asked.isEmpty());
        QVERIFY(shownHelp() && shownHelp()->isVisible());
        return;
    }
    // The program's own run-time error box, and the program goes on.
    QCOMPARE(m_prompts.asked.size(), 1);
    QCOMPARE(m_prompts.asked.constFirst().kind, QStringLiteral("exclamation"));
    QCOMPARE(m_prompts.asked.constFirst().title, QStringLiteral("Lumivex"));
    QCOMPARE(m_prompts.asked.constFirst().text, text);
    m_launcher.fault = nullptr;
    trigger(command.toLatin1().constData());
    QCOMPARE(m_launcher.started.size() + m_launcher.opened.size(), 1);
    QCOMPARE(m_prompts.asked.size(), 1);

    // The same text as every other such box: a number below zero has no blank before it.
    QCOMPARE(lumivex::prompts::runtimeErrorText(-2, QStringLiteral("Lumivex"), QStringLiteral("x")),
             QStringLiteral("ｴﾗｰ番号 -2Lumivex でｴﾗｰが発生しました。\r\nx"));
}

void TestEditorHelp::versionBox()
{
    // Moved away from the centre: the box centres on the screen, not on the main window.
    m_window->move(0, 0);
    struct Seen
    {
        bool shown = false;
        QString title;
        QStringList labels;
        int buttons = -1;
        Qt::WindowModality modality = Qt::NonModal;
        QWidget *parent = nullptr;
        QRect geometry;
        QRect frame;
    } seen;
    QTimer::singleShot(0, this, [&seen] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box)
            return;
        seen.shown = box->objectName() == QStringLiteral("Form5");
        seen.title = box->windowTitle();
        for (const char *name : {"Label1", "Label2", "Label3"}) {
            const auto *label = box->findChild<QLabel *>(QString::fromLatin1(name));
            seen.labels.append(label ? label->text() : QString());
        }
        seen.buttons = int(box->findChildren<QAbstractButton *>().size());
        seen.modality = box->windowModality();
        seen.parent = box->parentWidget();
        seen.geometry = box->geometry();
        seen.frame = box->frameGeometry();
        box->close();
    });

    trigger("mnuInfomation");

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("バージョン情報"));
    QCOMPARE(seen.labels.value(0), QStringLiteral("Lumivex"));
    QCOMPARE(seen.labels.value(1), QStringLiteral("Version 2.10"));
    QCOMPARE(seen.labels.value(2), QStringLiteral("ステレオグラム作成ソフト"));
    QCOMPARE(seen.buttons, 0);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(seen.parent, nullptr);
    QVERIFY(seen.geometry.width() >= 3570 / 15 && seen.geometry.height() >= 1425 / 15);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Placed where the window frame goes, from the box's own size.
    QCOMPARE(seen.frame.topLeft(), QPoint((screen.width() - seen.geometry.width()) / 2,
                                          (screen.height() - seen.geometry.height()) / 2));
    QVERIFY(QApplication::activeModalWidget() == nullptr);  // closed and gone
}

QTEST_MAIN(TestEditorHelp)
#include "tst_editorhelp.moc"

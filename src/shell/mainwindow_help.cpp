// エディタ (選択, 起動), 使い方など and バージョン情報: the main window's services that touch no
// document.
#include "mainwindow.h"

#include "helpwindow.h"
#include "launcher.h"
#include "translations.h"
#include "versionbox.h"

#include "prompts/prompts.h"

#include <QFileInfo>

#include <exception>
#include <new>

namespace lumivex::shell {

namespace {

// Where the dialog for choosing the editor starts when none has been chosen yet.
constexpr char kProgramsFolder[] = "/usr/bin";

// The numbers under which a failure that the commands do not expect is reported.
constexpr int kOutOfMemory = 7;
constexpr int kInternalError = 51;

/// Runs the editor or help command. A failure it does not expect (an exception from the
/// platform or from memory) ends the command in the program's run-time error box instead of
/// ending the program.
template<typename Command>
void runReported(MainWindow &main, const Command &command)
{
    int number = 0;
    QString description;
    try {
        command();
        return;
    } catch (const std::bad_alloc &) {
        number = kOutOfMemory;
        description = MainWindow::tr("メモリが不足しています。");
    } catch (const std::exception &error) {
        number = kInternalError;
        description = QString::fromLocal8Bit(error.what());
    } catch (...) {
        number = kInternalError;
    }
    if (description.isEmpty())
        description = MainWindow::tr("内部エラーです。");
    main.prompts().exclamation(&main, prompts::applicationTitle(),
                               prompts::runtimeErrorText(number, prompts::applicationTitle(), description));
}

} // namespace

void MainWindow::setHelpPage(const QString &path)
{
    m_helpPage = path;
}

QString MainWindow::helpPage() const
{
    if (!m_helpPage.isEmpty())
        return m_helpPage;
    return document::shippedFolder() + u'/' + helpPageName();
}

void MainWindow::chooseEditor()
{
    const QString key = QString::fromLatin1(document::AppSettings::kEditerPath);
    prompts::FileRequest request;
    // The dialog starts beside the editor chosen before, or among the installed programs.
    const QString before = m_settings.ReadSetting(key);
    const QString beside = before.isEmpty() ? QString() : document::FolderOfChosenFile(before);
    request.folder = QFileInfo(beside).isDir() ? beside : QString::fromLatin1(kProgramsFolder);
    // A program here has no extension to filter on ("*.exe" would list nothing): the name
    // filter lets every name through and the dialog lists only the files that may be run.
    request.filter = tr("実行ファイル(*)");
    request.executablesOnly = true;
    const QString chosen = m_services.prompts.askFile(this, request);
    if (chosen.isEmpty())
        return;  // cancelled: the editor chosen before stays
    m_settings.WriteSetting(key, chosen);
}

void MainWindow::startEditor()
{
    runReported(*this, [this] {
        const QString path = m_settings.ReadSetting(QString::fromLatin1(document::AppSettings::kEditerPath));
        if (path.isEmpty()) {
            m_services.prompts.information(this, prompts::applicationTitle(),
                                  tr("エディタが設定されていません..."));
            return;
        }
        // An editor that was moved or uninstalled since it was chosen would otherwise start
        // nothing without a word; say so, with the path, so the user knows to choose it again.
        if (!QFileInfo(path).isFile()) {
            m_services.prompts.exclamation(this, prompts::applicationTitle(),
                                  tr("エディタが見つかりません。") + u'\n' + path);
            return;
        }
        // No file is handed over: the editor starts empty, in our program folder.
        if (!m_services.launcher.startProgram(path, document::programFolder())) {
            m_services.prompts.exclamation(this, prompts::applicationTitle(),
                                  tr("エディタを起動できませんでした。") + u'\n' + path);
        }
    });
}

void MainWindow::openHelp()
{
    runReported(*this, [this] {
        const QString page = helpPage();
        if (!QFileInfo(page).isFile()) {
            m_services.prompts.exclamation(this, prompts::applicationTitle(),
                                  tr("ヘルプページが見つかりません。") + u'\n' + page);
            return;
        }
        // In a window of our own: a bare X server or a remote session may have no browser set
        // up, and what the desktop opens .htm files with may be a text editor.
        HelpWindow::showPage(this, m_services.launcher, page);
    });
}

void MainWindow::showVersionBox()
{
    // No owner: the box centres on the screen, not on us, and blocks the whole application
    // until it is closed.
    VersionBox box;
    box.exec();
}

} // namespace lumivex::shell

// エディタ (選択, 起動), 使い方など and バージョン情報: the main window's services that touch no
// document.
#include "mainwindow.h"

#include "launcher.h"
#include "versionbox.h"

#include "docwindow/prompts.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace lumivex::shell {

void MainWindow::setLauncher(Launcher *launcher)
{
    m_launcher = launcher;
}

Launcher &MainWindow::launcher()
{
    static DesktopLauncher desktop;
    return m_launcher ? *m_launcher : desktop;
}

void MainWindow::setHelpPage(const QString &path)
{
    m_helpPage = path;
}

QString MainWindow::helpPage() const
{
    if (!m_helpPage.isEmpty())
        return m_helpPage;
    return document::shippedFolder() + QStringLiteral("/Help/Help01.htm");
}

void MainWindow::chooseEditor()
{
    docwindow::FileRequest request;
    // Programs have no extension to filter on here; the dialog starts where our own program
    // is installed, which is where the desktop's other programs live as well.
    request.folder = QCoreApplication::applicationDirPath();
    request.filter = QStringLiteral("実行ファイル(*)");
    const QString chosen = m_prompts.askFile(this, request);
    if (chosen.isEmpty())
        return;  // cancelled: the editor chosen before stays
    m_settings.WriteSetting(QString::fromLatin1(document::AppSettings::kEditerPath), chosen);
}

void MainWindow::startEditor()
{
    const QString path = m_settings.ReadSetting(QString::fromLatin1(document::AppSettings::kEditerPath));
    if (path.isEmpty()) {
        m_prompts.information(this, docwindow::applicationTitle(),
                              QStringLiteral("エディタが設定されていません..."));
        return;
    }
    // An editor that was moved or uninstalled since it was chosen would otherwise start
    // nothing without a word; say so, with the path, so the user knows to choose it again.
    if (!QFileInfo(path).isFile()) {
        m_prompts.exclamation(this, docwindow::applicationTitle(),
                              QStringLiteral("エディタが見つかりません。\n") + path);
        return;
    }
    // No file is handed over: the editor starts empty, in our program folder.
    if (!launcher().startProgram(path, document::programFolder())) {
        m_prompts.exclamation(this, docwindow::applicationTitle(),
                              QStringLiteral("エディタを起動できませんでした。\n") + path);
    }
}

void MainWindow::openHelp()
{
    const QString page = helpPage();
    if (!QFileInfo(page).isFile()) {
        m_prompts.exclamation(this, docwindow::applicationTitle(),
                              QStringLiteral("ヘルプページが見つかりません。\n") + page);
        return;
    }
    // Without a desktop (a bare X server, a remote session) nothing may be registered to show
    // web pages; the path lets the user open the page by hand.
    if (!launcher().openDocument(page)) {
        m_prompts.exclamation(this, docwindow::applicationTitle(),
                              QStringLiteral("ヘルプページを開けませんでした。"
                                             "ブラウザで次のファイルを開いてください。\n")
                                  + page);
    }
}

void MainWindow::showVersionBox()
{
    // No owner: the box centres on the screen, not on us, and blocks the whole application
    // until it is closed.
    VersionBox box;
    box.exec();
}

} // namespace lumivex::shell

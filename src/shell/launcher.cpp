#include "launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace lumivex::shell {

bool DesktopLauncher::startProgram(const QString &program, const QString &workingFolder)
{
    // Detached, so that the editor outlives us and is not a child we would have to reap; the
    // result reports a program that exists but cannot be executed.
    return QProcess::startDetached(program, {}, workingFolder);
}

bool DesktopLauncher::openDocument(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopLauncher::openLink(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace lumivex::shell

#pragma once

#include <QString>
#include <QUrl>

namespace lumivex::shell {

/// Starting other programs and opening files in the desktop's viewer: the external editor and
/// the help page. The program uses DesktopLauncher; tests hand in a fake.
class Launcher
{
public:
    virtual ~Launcher() = default;
    /// Starts the program without arguments, detached, in the given working folder. Whether it
    /// started.
    virtual bool startProgram(const QString &program, const QString &workingFolder) = 0;
    /// Opens a local file with the viewer the desktop associates with its type. Whether the
    /// desktop accepted it.
    virtual bool openDocument(const QString &path) = 0;
    /// Opens a link of the help page that leads outside it (a web address, a file of another
    /// kind) with the desktop's viewer for it. Whether the desktop accepted it. A local file
    /// goes through openDocument.
    virtual bool openLink(const QUrl &url) { return url.isLocalFile() && openDocument(url.toLocalFile()); }
};

/// QProcess::startDetached and QDesktopServices::openUrl.
class DesktopLauncher : public Launcher
{
public:
    bool startProgram(const QString &program, const QString &workingFolder) override;
    bool openDocument(const QString &path) override;
    bool openLink(const QUrl &url) override;
};

} // namespace lumivex::shell

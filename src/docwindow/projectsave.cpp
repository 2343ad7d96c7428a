// Saving a document: 名前を付けて保存 moves it to a project file of the user's choosing,
// 上書き保存 writes it into the one it has, and declining to save puts that file back as it was.
#include "documentwindow.h"

#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"
#include "projectfiles.h"
#include "prompts/prompts.h"

#include "document/appsettings.h"
#include "document/inifile.h"
#include "picture/safefile.h"
#include "document/sharedstate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <sys/stat.h>

namespace lumivex::docwindow {

void DocumentWindow::SaveProjectAs()
{
    // A cancel from an earlier save must not count against this one (the close path reads the
    // flag only after calling here).
    SaveCancelled = false;
    document::SharedState &s = m_main.shared();
    const document::AppSettings &settings = m_main.settings();
    Prompts &prompts = m_main.prompts();
    const QString folderKey = QString::fromLatin1(document::AppSettings::kLvdFileDir);

    FileRequest request;
    request.folder = projectFolder(settings.ReadSetting(folderKey));
    request.fileName = m_caption;  // the title of the document being saved
    request.filter = projectFilter();
    request.save = true;
    request.overwritePrompt = true;
    const QString chosen = prompts.askFile(this, request);
    if (chosen.isEmpty()) {
        SaveCancelled = true;
        return;
    }
    const QString path = withProjectExtension(chosen);
    if (path != chosen && QFileInfo::exists(path)) {
        // The dialog asked about the name as typed; the file written is another one.
        const QString question = tr("「%1」は既に存在します。\r\n上書きしますか？").arg(QFileInfo(path).fileName());
        if (prompts.question(this, applicationTitle(), question) != Prompts::Answer::Yes) {
            SaveCancelled = true;
            return;
        }
    }

    // The document becomes the new file's only once the file is written.
    const std::optional<FileCopy> previousOwn = m_ownCopy;
    QString reason;
    if (!m_main.writeState(path, &reason)) {
        reportSaveFailure(path, reason);
        SaveCancelled = true;
        return;
    }
    const QString previousIniName = m_lblOldIniName;
    const QString title = projectTitle(path);
    s.StateFilePath = path;
    s.DocumentTitle = title;
    setIdentity(path, title);  // lblIniName, lblOldIniName, lblTitle and the caption
    m_lblStereoName = s.ModeWord;
    m_main.setStatusText(1, path);
    tellUnkeptPictures();
    m_main.report({DocumentEvent::Kind::ProjectSaved});
    settings.WriteSetting(folderKey, document::FolderOfChosenFile(path));

    // A new document's temporary state file has served its time. A project the document came
    // from stays as it was last saved: what changed since went into the new file.
    if (previousIniName.endsWith(QLatin1String(".tmp")))
        QFile::remove(previousIniName);
    else if (previousIniName != path) {
        m_ownCopy = previousOwn;
        restoreSavedCopy(previousIniName);
    }
    rememberSavedCopy();
    tellOthersSaved();
}

bool DocumentWindow::SaveState()
{
    QString reason;
    if (m_main.writeState(m_main.shared().StateFilePath, &reason)) {
        rememberSavedCopy();
        tellOthersSaved();
        tellUnkeptPictures();
        return true;
    }
    reportSaveFailure(m_main.shared().StateFilePath, reason);
    return false;
}

void DocumentWindow::tellUnkeptPictures()
{
    // A project keeps its pictures' paths only: a pasted or converted picture that was never
    // saved into a file does not come back with it. Said in the status bar, once per save.
    const document::SharedState &s = m_main.shared();
    const QString *paths[] = {&s.DesignImagePath, &s.FieldImagePath, &s.StereoImagePath};
    QStringList unkept;
    for (int pane = 0; pane < 3; ++pane) {
        const PictureBox *picture = m_panes[pane]->picture();
        if (!picture->isHidden() && !picture->image().isNull() && paths[pane]->isEmpty())
            unkept.append(picture->toolTip());  // the pane's name
    }
    // The count fits the status bar at the window's first size; the names are in its tooltip.
    if (!unkept.isEmpty())
        m_main.setStatusText(1, tr("ファイルにない画像は保存されません（%1 枚）").arg(unkept.size()) + u'\n'
                                    + tr("ファイルにない画像はプロジェクトに保存されません：%1").arg(unkept.join(tr("、"))));
}

void DocumentWindow::reportSaveFailure(const QString &path, const QString &reason)
{
    m_main.prompts().exclamation(this, applicationTitle(),
                                 tr("次のファイルに保存できませんでした。\r\n%1\r\n%2")
                                     .arg(QDir::toNativeSeparators(path), reason));
}

void DocumentWindow::setSavedCopy(bool exists, const QByteArray &bytes)
{
    m_savedCopy = FileCopy{exists, exists ? bytes : QByteArray()};
}

std::optional<DocumentWindow::FileCopy> DocumentWindow::copyOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return FileCopy{};
    // A file that cannot be read whole is never put back (it would come back cut or empty).
    QFile file(path);
    if (!info.isFile() || info.size() > document::IniFile::kMaxFileSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    struct stat status {};
    if (::fstat(file.handle(), &status) != 0)
        return std::nullopt;
    FileCopy copy{true, file.readAll(), status.st_ino,
                  qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return copy;
}

void DocumentWindow::rememberSavedCopy()
{
    m_savedCopy = copyOf(m_lblIniName);
    m_ownCopy = m_savedCopy;
}

void DocumentWindow::tellOthersSaved()
{
    // Another window on the same file declining to save must not undo this save, not even after
    // it writes into the file again itself: what it would put back is older than this save.
    const QList<DocumentWindow *> windows = m_main.documentWindows();
    for (DocumentWindow *other : windows) {
        if (other != this && QFileInfo(other->m_lblIniName) == QFileInfo(m_lblIniName))
            other->m_savedCopy.reset();
    }
}

void DocumentWindow::stateWritten(const QString &path, bool written, const QString &reason)
{
    if (written) {
        if (path == m_lblIniName)
            m_ownCopy = copyOf(path);
        return;
    }
    if (m_writeFailureTold)
        return;
    m_writeFailureTold = true;
    // Out of the slider's or the switch's own handling before a box takes the mouse.
    QTimer::singleShot(0, this, [this, path, reason] {
        m_main.prompts().exclamation(this, applicationTitle(),
                                     tr("次のファイルに書き込めませんでした。このドキュメントの変更はファイルに残りません。\r\n%1\r\n%2")
                                         .arg(QDir::toNativeSeparators(path), reason));
    });
}

bool DocumentWindow::restoreSavedCopy(const QString &path)
{
    // Only this window's own writes are undone: a file that another window (or program) wrote
    // since, or one whose content was never known, stays as it is.
    if (!m_savedCopy || !m_ownCopy || copyOf(path) != m_ownCopy
        || (m_savedCopy->exists == m_ownCopy->exists && m_savedCopy->bytes == m_ownCopy->bytes))
        return true;
    if (!m_savedCopy->exists)
        return QFile::remove(path);
    if (!document::writeIniBytes(path, m_savedCopy->bytes))
        return false;
    m_ownCopy = copyOf(path);
    return true;
}

} // namespace lumivex::docwindow

// Saving a document: 名前を付けて保存 moves it to a project file of the user's choosing,
// 上書き保存 writes it into the one it has, and declining to save puts that file back as it was.
#include "documentwindow.h"

#include "mainfacade.h"
#include "projectfiles.h"
#include "prompts/prompts.h"

#include "document/appsettings.h"
#include "document/inifile.h"
#include "document/safefile.h"
#include "document/sharedstate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    m_main.report({DocumentEvent::Kind::ProjectSaved});
    settings.WriteSetting(folderKey, document::FolderOfChosenFile(path));

    // A new document's temporary state file has served its time. A project the document came
    // from stays as it was last saved: what changed since went into the new file.
    if (previousIniName.endsWith(QLatin1String(".tmp")))
        QFile::remove(previousIniName);
    else if (previousIniName != path)
        restoreSavedCopy(previousIniName);
    rememberSavedCopy();
}

bool DocumentWindow::SaveState()
{
    QString reason;
    if (m_main.writeState(m_main.shared().StateFilePath, &reason)) {
        rememberSavedCopy();
        return true;
    }
    reportSaveFailure(m_main.shared().StateFilePath, reason);
    return false;
}

void DocumentWindow::reportSaveFailure(const QString &path, const QString &reason)
{
    m_main.prompts().exclamation(this, applicationTitle(),
                                 tr("次のファイルに保存できませんでした。\r\n%1\r\n%2")
                                     .arg(QDir::toNativeSeparators(path), reason));
}

void DocumentWindow::setSavedCopy(bool exists, const QByteArray &bytes)
{
    m_hasSavedCopy = true;
    m_savedCopyExists = exists;
    m_savedCopy = exists ? bytes : QByteArray();
}

void DocumentWindow::rememberSavedCopy()
{
    const QFileInfo info(m_lblIniName);
    if (!info.exists()) {
        setSavedCopy(false, QByteArray());
        return;
    }
    // A file that cannot be read whole is never put back (it would come back cut or empty).
    m_hasSavedCopy = false;
    QFile file(m_lblIniName);
    if (info.isFile() && info.size() <= document::IniFile::kMaxFileSize && file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError)
            setSavedCopy(true, bytes);
    }
}

bool DocumentWindow::restoreSavedCopy(const QString &path)
{
    if (!m_hasSavedCopy)
        return true;
    if (!m_savedCopyExists)
        return !QFileInfo::exists(path) || QFile::remove(path);
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == m_savedCopy)
        return true;
    current.close();
    return document::writeFileSafely(path, m_savedCopy);
}

} // namespace lumivex::docwindow

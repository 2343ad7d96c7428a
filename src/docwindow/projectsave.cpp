// 名前を付けて保存: the document moves to a project file of the user's choosing.
#include "documentwindow.h"

#include "mainfacade.h"
#include "projectfiles.h"
#include "prompts.h"

#include "document/appsettings.h"
#include "document/docstate.h"
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
        const QString question = QStringLiteral("「") + QFileInfo(path).fileName()
            + QStringLiteral("」は既に存在します。\r\n上書きしますか？");
        if (prompts.question(this, applicationTitle(), question) != Prompts::Answer::Yes) {
            SaveCancelled = true;
            return;
        }
    }

    // What the window was, should the new file turn out not to be writable.
    const QString oldStateFile = s.StateFilePath;
    const QString oldDocumentTitle = s.DocumentTitle;
    const QString oldIniName = m_lblIniName;
    const QString previousIniName = m_lblOldIniName;
    const QString oldTitle = m_lblTitle;
    const QString oldCaption = m_caption;
    const QString oldStereoName = m_lblStereoName;
    const bool saveWasEnabled = m_main.isMenuEnabled(QStringLiteral("mnuSave"));
    const bool saveButtonWasEnabled = m_main.docStateFromControls().buttons[2];

    const QString title = projectTitle(path);
    s.StateFilePath = path;
    s.DocumentTitle = title;
    setIdentity(path, title);  // lblIniName, lblOldIniName, lblTitle and the caption
    m_lblStereoName = s.ModeWord;
    m_main.setStatusText(1, path);
    m_main.setMenuEnabled(QStringLiteral("mnuSave"), true);
    m_main.setButtonEnabled(3, true);

    if (!document::writeDocState(path, m_main.docStateFromControls())) {
        // Not saved: the document stays with the state file it had.
        s.StateFilePath = oldStateFile;
        s.DocumentTitle = oldDocumentTitle;
        m_lblIniName = oldIniName;
        m_lblOldIniName = previousIniName;
        m_lblTitle = oldTitle;
        m_caption = oldCaption;
        setWindowTitle(oldCaption);
        m_lblStereoName = oldStereoName;
        m_main.setStatusText(1, oldStateFile);
        m_main.setMenuEnabled(QStringLiteral("mnuSave"), saveWasEnabled);
        m_main.setButtonEnabled(3, saveButtonWasEnabled);
        prompts.exclamation(this, applicationTitle(),
                            QStringLiteral("次のファイルに保存できませんでした。\r\n")
                                + QDir::toNativeSeparators(path));
        SaveCancelled = true;
        return;
    }
    settings.WriteSetting(folderKey, document::FolderOfChosenFile(path));

    // A new document's temporary state file has served its time.
    if (previousIniName.endsWith(QLatin1String(".tmp")))
        QFile::remove(previousIniName);
}

} // namespace lumivex::docwindow

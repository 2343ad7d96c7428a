// 開く: a project file becomes the state file of a new document window, which then loads the
// pictures the file names.
#include "mainwindow.h"

#include "docwindow/documentwindow.h"
#include "docwindow/projectfiles.h"
#include "docwindow/screenfit.h"
#include "prompts/prompts.h"
#include "document/docstate.h"
#include "document/inifile.h"
#include "picture/picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumivex::shell {

namespace {

// The run-time errors the open command can meet, by their traditional numbers. Only these three
// are reported; the command then goes on with its next step.
constexpr int kFileNotFound = 53;
constexpr int kDeviceUnavailable = 68;
constexpr int kPathNotFound = 76;
constexpr int kFileAccess = 75;

QString errorDescription(int number)
{
    switch (number) {
    case kFileNotFound:
        return MainWindow::tr("ファイルが見つかりません。");
    case kDeviceUnavailable:
        return MainWindow::tr("デバイスが準備されていません。");
    case kPathNotFound:
        return MainWindow::tr("パスが見つかりません。");
    default:
        return MainWindow::tr("パス名が無効です。");
    }
}

bool reported(int number)
{
    return number == kFileNotFound || number == kDeviceUnavailable || number == kPathNotFound;
}

/// What reading the project file would run into: 0 when it can be read.
int projectFileError(const QString &path)
{
    const QFileInfo file(path);
    if (!file.exists())
        return QFileInfo(file.absolutePath()).isDir() ? kFileNotFound : kPathNotFound;
    if (!file.isFile() || !file.isReadable())
        return kFileAccess;
    return 0;
}

} // namespace

void MainWindow::OpenProject()
{
    const QString folderKey = QString::fromLatin1(document::AppSettings::kLvdFileDir);
    prompts::FileRequest request;
    request.folder = docwindow::projectFolder(m_settings.ReadSetting(folderKey));
    request.filter = docwindow::projectFilter();
    const QString chosen = m_services.prompts.askFile(this, request);
    if (!chosen.isEmpty())
        openProject(chosen);
}

void MainWindow::openProject(const QString &path)
{
    // The state file's path is kept and shown: a relative one (the command line) is made whole.
    const QString chosen = QFileInfo(path).absoluteFilePath();
    const QString folderKey = QString::fromLatin1(document::AppSettings::kLvdFileDir);

    // Any other error ends the command where it happens; it is known before anything changes,
    // so the active document keeps its state file.
    const int error = projectFileError(chosen);
    if (error != 0 && !reported(error))
        return;
    // A file that holds none of a project's keys (a picture or a text chosen by mistake) opens
    // nothing: it would open as a document of defaults, and saving would write into it.
    if (error == 0 && !document::holdsDocState(chosen)) {
        m_services.prompts.exclamation(this, prompts::applicationTitle(),
                                       tr("「%1」はプロジェクトファイルではありません。").arg(QDir::toNativeSeparators(chosen)));
        return;
    }

    // The document shown until now keeps its own state in its own file; the project file is
    // taken as it is now, before reading it makes the sliders write their keys back into it.
    deactivateActiveDocument();
    m_openedCopy = OpenedCopy{};
    if (error == 0) {
        QFile file(chosen);
        if (QFileInfo(chosen).size() <= document::IniFile::kMaxFileSize && file.open(QIODevice::ReadOnly)) {
            m_openedCopy->exists = true;
            m_openedCopy->bytes = file.readAll();
        } else {
            m_openedCopy.reset();  // unreadable: never put back
        }
    }
    m_shared.StateFilePath = chosen;
    m_shared.DocumentTitle = docwindow::projectTitle(chosen);
    m_settings.WriteSetting(folderKey, document::FolderOfChosenFile(chosen));
    m_shared.DocumentOrigin = document::Origin::Opened;
    // A file that is missing reads as defaults, like every key it lacks.
    ReadDocState();
    if (error != 0) {
        m_services.prompts.exclamation(this, prompts::applicationTitle(),
                              prompts::runtimeErrorText(error, prompts::applicationTitle(),
                                                          errorDescription(error)));
    }
    OpenDocumentWindow();

    QString flags;
    if (!m_shared.DesignImagePath.isEmpty())
        flags += QLatin1Char('D');
    if (!m_shared.FieldImagePath.isEmpty())
        flags += QLatin1Char('F');
    if (!m_shared.StereoImagePath.isEmpty())
        flags += QLatin1Char('S');
    m_shared.OpenFlags = flags;
    m_controls.set({document::Control::mnuSave, document::Control::knButtons3}, true);
    applyControls();
    m_shared.InsertSource = document::Source::FromProject;
    PostCommand(document::Command::Open);
}

void MainWindow::openPicture(const QString &path)
{
    const QString whole = QFileInfo(path).absoluteFilePath();
    // Read here, once, to tell the user at once what is wrong with it.
    picture::LoadedPicture loaded = picture::readPicture(whole);
    // A picture too wide for the window is offered brought down before any document opens, so
    // that a refusal leaves nothing behind; the project keeps the file and the width.
    int scaledWidth = 0;
    if (loaded.problem == picture::PictureProblem::TooWide) {
        const QString tooWide = tr("デザイン画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。");
        if (!docwindow::screenfit::offer(m_services.prompts, this, tooWide, loaded.size, docwindow::screenfit::Kind::Design))
            return;
        loaded = picture::readPicture(whole, docwindow::screenfit::widestTaken());
        if (loaded.ok()) {
            loaded.image = docwindow::screenfit::fitted(loaded.image, picture::kMaxPictureWidth,
                                                        docwindow::screenfit::Kind::Design);
            scaledWidth = loaded.image.width();
        }
    }
    if (!loaded.ok()) {
        m_services.prompts.exclamation(this, prompts::applicationTitle(), picture::pictureFailureMessage(whole, loaded));
        return;
    }
    newDocument(document::Mode::RandomDot, document::Colour::Mono);
    m_shared.DesignImagePath = whole;
    if (docwindow::DocumentWindow *document = activeDocument()) {
        document->insertPicture(0, loaded.image);
        if (scaledWidth > 0) {
            m_shared.DesignScaledWidth = scaledWidth;
            WriteDocState();
        }
    }
}

} // namespace lumivex::shell

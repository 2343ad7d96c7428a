// 画像の保存 and 印刷: one pane's picture written to a BMP or PNG file as the user chose, the stereo picture printed
// (both with the guide band above the stereo picture when the marks are on).
#include "documentwindow.h"

#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"
#include "printer.h"
#include "prompts/prompts.h"

#include "document/appsettings.h"
#include "picture/picturewriter.h"
#include "document/sharedstate.h"

#include <QDir>
#include <QFileInfo>

namespace lumivex::docwindow {

namespace {

/// One row of the save commands: the pane and the remembered folder of its kind of picture.
struct ExportKind
{
    document::Command command;
    const char *folderKey;
    int pane;  ///< 0 design, 1 field, 2 stereo
};

constexpr ExportKind kExports[] = {
    {document::Command::SaveDesign, document::AppSettings::kPicDesignDir, 0},
    {document::Command::SaveField, document::AppSettings::kPicFieldDir, 1},
    {document::Command::SaveStereo, document::AppSettings::kPicStereoDir, 2},
};

const ExportKind *exportFor(const document::Word<document::Command> &word)
{
    for (const ExportKind &kind : kExports) {
        if (word == kind.command)
            return &kind;
    }
    return nullptr;
}

// A name ending in ".png" is written as PNG (with a colour table when the picture has at most
// sixteen colours); any other name, with or without an extension, as BMP. A failed write
// (a full disk) leaves an existing file as it was, and *error says why.
bool writePicture(const QImage &image, const QString &path, QString *error)
{
    return picture::writePictureFile(image, path, picture::pictureFileFormatFor(path), error);
}

constexpr int kPngFilter = 1;  ///< the entry "PNG(*.png)" of the save dialog's filter

// The file type the user chose decides: a typed ".png" or ".bmp" wins, otherwise the filter.
// With PNG chosen, the name gets ".png", so that the file is found again under the filter it
// was saved with; with BMP chosen the name is taken as typed.
QString exportName(const QString &chosen, int filterIndex)
{
    const bool typed = chosen.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)
        || chosen.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive);
    return !typed && filterIndex == kPngFilter ? chosen + QStringLiteral(".png") : chosen;
}

} // namespace

void DocumentWindow::SavePaneImage()
{
    document::SharedState &s = m_main.shared();
    const ExportKind *kind = exportFor(s.CommandWord);
    if (!kind)
        return;
    const PictureBox *picture = m_panes[static_cast<std::size_t>(kind->pane)]->picture();
    if (picture->isHidden() || picture->image().isNull())
        return;  // an empty pane has nothing to save (its menu item is off then)
    // The picture as it is now, should a conversion draw on while the dialog is open; the stereo
    // picture with the guide band when the marks are on.
    const QImage image = kind->pane == 2 ? stereoForOutput() : picture->image().copy();

    const document::AppSettings &settings = m_main.settings();
    const QString key = QString::fromLatin1(kind->folderKey);
    QString folder = settings.ReadSetting(key);
    if (folder.isEmpty())
        folder = QDir::homePath();
    FileRequest request;
    request.folder = folder;
    request.filter = QStringLiteral("BMP(*.bmp);;PNG(*.png)");
    request.save = true;
    request.overwritePrompt = true;
    QString chosen;
    for (;;) {
        const prompts::FileChoice choice = m_main.prompts().chooseFile(this, request);
        if (choice.path.isEmpty())
            return;
        chosen = exportName(choice.path, choice.filterIndex);
        // The dialog asked about the name as typed; the name with its extension is asked here.
        // いいえ goes back to the dialog, at the name and file type the user had chosen.
        if (chosen == choice.path || !QFileInfo::exists(chosen)
            || m_main.prompts().yesNo(this, applicationTitle(),
                                      tr("「%1」は既に存在します。\r\n上書きしますか？").arg(QFileInfo(chosen).fileName()))
                   == Prompts::Answer::Yes) {
            break;
        }
        request.folder = QFileInfo(chosen).path();
        request.fileName = QFileInfo(choice.path).fileName();
        request.filterIndex = choice.filterIndex;
    }

    const bool stereo = kind->pane == 2;
    const QString previousStereo = s.StereoImagePath;
    if (stereo)
        s.StereoImagePath = chosen;
    QString reason;
    if (!writePicture(image, chosen, &reason)) {
        // The document must not name a stereo picture that was never written.
        if (stereo)
            s.StereoImagePath = previousStereo;
        m_main.prompts().exclamation(this, applicationTitle(),
                                     tr("次のファイルに保存できませんでした。\r\n%1\r\n%2")
                                         .arg(QDir::toNativeSeparators(chosen), reason));
        return;
    }
    settings.WriteSetting(key, document::FolderOfChosenFile(chosen));
}

void DocumentWindow::PrintStereo()
{
    const PictureBox *picture = picAfter();
    if (picture->isHidden() || picture->image().isNull())
        return;  // nothing to print (印刷 is off then)
    // Without a printer set up, Qt's own PDF output takes its place.
    QString pdfFile;
    if (m_main.printer().printerNames().isEmpty()) {
        pdfFile = askPdfFile(m_main.prompts(), this, m_caption);
        if (pdfFile.isEmpty())
            return;
    }
    PrintReport report;
    if (!m_main.printer().printPicture(stereoForOutput(), picture->logicalDpiX(), picture->logicalDpiY(),
                                       m_caption, pdfFile, &report)) {
        m_main.prompts().exclamation(this, applicationTitle(),
                                     tr("印刷できませんでした。\r\n%1").arg(report.error));
        return;
    }
    //: %1 the printer's name, %2 the number of pages
    m_main.setStatusText(1, tr("%1 に印刷しました（%2 ページ）。").arg(report.printer).arg(report.pages));
}

} // namespace lumivex::docwindow

// Page 1 of the wizard: choosing the design picture and the field source picture, their
// previews and the width checks.
#include "wizarddialog.h"

#include "prompts/prompts.h"
#include "document/appsettings.h"
#include "document/greydepth.h"
#include "document/picturefit.h"
#include "picture/picture.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace lumivex::wizard {

namespace {

// The field source picture is tiled into the field image: the repeat width cannot exceed this.
constexpr int kMaxSourceWidth = 200;
constexpr int kPreviewSide = 57;


} // namespace

QSize WizardDialog::thumbnailSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {1, 1};
    if (width > height)
        return {kPreviewSide, std::max(1, qRound(double(height) / width * kPreviewSide))};
    if (width < height)
        return {std::max(1, qRound(double(width) / height * kPreviewSide)), kPreviewSide};
    return {kPreviewSide, kPreviewSide};
}

void WizardDialog::browse(int index)
{
    if (index < 0 || index > 1)
        return;
    BrowseWizardImage(index);
    if (WizardBrowseCancelled) {
        WizardBrowseCancelled = false;
        return;
    }
    const QString path = WizardPickedPath;
    const QString key = QString::fromLatin1(index == 0 ? document::AppSettings::kPicDesignDir
                                                       : document::AppSettings::kPicFieldDir);
    // The width is judged from the header: a picture too wide is decoded only when the user
    // takes a design picture brought down to the width a document takes (or cancels: the row
    // is emptied as by a refusal).
    picture::LoadedPicture loaded =
        picture::readPicture(path, index == 0 ? picture::kMaxPictureWidth : kMaxSourceWidth);
    int scaledWidth = 0;
    if (loaded.problem == picture::PictureProblem::TooWide) {
        m_settings.WriteSetting(key, document::FolderOfChosenFile(path));
        if (index == 0 && loaded.size.width() <= document::picturefit::widestTaken() && offerToFit(loaded.size)) {
            loaded = picture::readPicture(path, document::picturefit::widestTaken());
            if (loaded.ok()) {
                loaded.image = document::picturefit::fitted(loaded.image, picture::kMaxPictureWidth,
                                                            document::picturefit::Kind::Design);
                scaledWidth = loaded.image.width();
            }
        } else if (index == 0 && loaded.size.width() <= document::picturefit::widestTaken()) {
            clearPicture(index);
        } else {
            refuseTooWide(index);
        }
    }
    if (loaded.problem == picture::PictureProblem::TooWide) {
        // refused or cancelled
    } else if (!loaded.ok()) {
        // The row is left without a picture: what it showed before is no longer the choice.
        m_prompts.exclamation(this, prompts::applicationTitle(), picture::pictureFailureMessage(path, loaded));
        clearPicture(index);
    } else {
        m_settings.WriteSetting(key, document::FolderOfChosenFile(path));
        takePicture(index, path, loaded.image);
        if (index == 0)
            m_result.designScaledWidth = scaledWidth;
    }
    // 次へ follows the two choices: with a row emptied by a refusal the wizard cannot go on, or
    // 完了 would build a document from a picture that is no longer there.
    cmdNext->setEnabled(!lblDesign[0]->text().isEmpty() && !lblDesign[1]->text().isEmpty());
}

bool WizardDialog::BrowseWizardImage(int index)
{
    const QString key = QString::fromLatin1(index == 0 ? document::AppSettings::kPicDesignDir
                                                       : document::AppSettings::kPicFieldDir);
    QString folder = m_settings.ReadSetting(key);
    if (folder.isEmpty())
        folder = document::samplesFolder();
    prompts::FileRequest request;
    request.folder = folder;
    request.filter = picture::pictureFileFilter();
    const QString chosen = m_prompts.askFile(this, request);
    if (chosen.isEmpty()) {
        WizardBrowseCancelled = true;
        return false;
    }
    WizardPickedPath = chosen;
    return true;
}

void WizardDialog::takePicture(int index, const QString &path, const QImage &image)
{
    lblDesign[index]->setText(QDir::toNativeSeparators(path));
    lblSize1[index]->setText(tr("画像サイズ　%1×%2  ピクセル").arg(image.width()).arg(image.height()));
    if (index == 0) {
        m_result.designPath = path;
        picDUra = image;
        // A grey depth map is asked about as an insertion asks: smooth depth, the sixteen
        // levels, or as it is.
        m_result.smoothDesign = false;
        if (document::isGreyDepthMap(picDUra)) {
            const int answer = m_prompts.choose(this, prompts::applicationTitle(), document::greyQuestionText(),
                                                document::greyQuestionButtons(), int(document::GreyAnswer::AsIs));
            m_result.smoothDesign = document::takeGreyAnswer(answer, picDUra) == document::DepthKind::Grey;
        }
        MakeThumbnail(picDUra, picD);
    } else {
        m_result.fieldSourcePath = path;
        picFmotoUra = image;
        MakeThumbnail(picFmotoUra, picFmoto);
        m_result.kurikaesi = image.width();
    }
}

void WizardDialog::clearPicture(int index)
{
    QLabel *preview = index == 0 ? picD : picFmoto;
    (index == 0 ? picDUra : picFmotoUra) = QImage();
    (index == 0 ? m_result.designPath : m_result.fieldSourcePath).clear();
    if (index == 0) {
        m_result.smoothDesign = false;
        m_result.designScaledWidth = 0;
    }
    preview->clear();
    preview->hide();
    lblDesign[index]->clear();
    lblSize1[index]->clear();
}

// A design picture wider than a document takes is offered brought down to its width, as
// insertion offers it.
bool WizardDialog::offerToFit(QSize size)
{
    using document::picturefit::Kind;
    const QString tooWide = tr("デザイン画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。");
    return m_prompts.choose(this, prompts::applicationTitle(), document::picturefit::offerText(tooWide, size, Kind::Design),
                            document::picturefit::offerButtons(Kind::Design), 1)
        == 0;
}

void WizardDialog::refuseTooWide(int index)
{
    m_prompts.exclamation(this, prompts::applicationTitle(),
                          index == 0 ? tr("デザイン画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。")
                                     : tr("フィールド画像の元となる画像が大きすぎます。\r\n"
                                          "幅を200ピクセル以下にしてください。"));
    clearPicture(index);
}

void WizardDialog::MakeThumbnail(const QImage &image, QLabel *preview)
{
    const QSize size = thumbnailSize(image.width(), image.height());
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), image);
    painter.end();
    preview->setPixmap(pixmap);
    preview->setFixedSize(size);
    preview->show();
}

} // namespace lumivex::wizard

// Bringing a picture into one of the window's three panes: from a file the user chooses, from
// the clipboard (paste into the selected pane), or from the path an opened project names.
#include "documentwindow.h"

#include "clipboard.h"
#include "mainfacade.h"
#include "pane.h"
#include "picturebox.h"
#include "stereorepeat.h"
#include "prompts/prompts.h"
#include "screenfit.h"

#include "document/appsettings.h"
#include "document/greydepth.h"
#include "picture/picture.h"
#include "document/sharedstate.h"

#include <QDir>
#include <QPainter>

#include <cmath>

namespace lumivex::docwindow {

namespace {

using document::DepthKind;
using document::SharedState;

enum class Target { Design, Field, Stereo };

/// What differs between the three pictures.
struct PictureKind
{
    Target target;
    const char *folderKey;            ///< settings key of the remembered folder
    QString SharedState::*path;       ///< the picture's path variable
    document::Source clipboardWord;   ///< InsertSource when pasting into this pane
    const char *tooWide;              ///< the too-wide message, untranslated
    /// The width a picture too wide for the window is brought down to (0: shown at its own
    /// size); none for the field picture, which is refused.
    int SharedState::*scaledWidth;
};

const PictureKind kDesign{Target::Design, document::AppSettings::kPicDesignDir,
                          &SharedState::DesignImagePath, document::Source::DesignPane,
                          QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "デザイン画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。"),
                          &SharedState::DesignScaledWidth};
const PictureKind kField{Target::Field, document::AppSettings::kPicFieldDir,
                         &SharedState::FieldImagePath, document::Source::FieldPane,
                         QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "フィールド画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。"),
                         nullptr};
const PictureKind kStereo{Target::Stereo, document::AppSettings::kPicStereoDir,
                          &SharedState::StereoImagePath, document::Source::StereoPane,
                          QT_TRANSLATE_NOOP("lumivex::docwindow::DocumentWindow", "ステレオ画像が大きすぎます。\r\n幅を1024ピクセル以下にしてください。"),
                          &SharedState::StereoScaledWidth};

// A clipboard picture may carry transparency; the panes and the conversions see it on white,
// as a loaded file's transparent pixels are.
QImage opaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage result(image.size(), QImage::Format_RGB32);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    return result;
}

class Insertion
{
public:
    /// unread, when given, collects the path of a picture a project names that cannot be read.
    Insertion(DocumentWindow &window, MainFacade &main, const PictureKind &kind, QStringList *unread = nullptr)
        : m_window(window), m_main(main), m_shared(main.shared()), m_kind(kind), m_unread(unread)
    {
    }

    void run();
    /// A picture the program already holds (the reveal's, or one read for the command line)
    /// put into the pane as an insertion puts one; the path variable is the caller's. A design
    /// the caller knows to be smooth depth is taken as such without asking.
    void putMade(QImage image, bool smooth)
    {
        QImage original;
        if (!fitToWindow(image, original))
            return;
        if (m_kind.target == Target::Design)
            m_shared.DesignDepth = smooth ? DepthKind::Grey : askDepthKind(image, false);
        if (m_kind.scaledWidth)
            m_shared.*m_kind.scaledWidth = original.isNull() ? 0 : image.width();
        put(image, original);
    }

private:
    QImage &hiddenPicture();
    QImage currentPicture();
    bool fromFile(QImage &image, QString &chosen);
    bool fromProject(QImage &image);
    bool isNewPicture(const document::Word<document::Source> &source) const;
    DepthKind askDepthKind(QImage &image, bool keepSmooth);
    bool agreeToFit(QSize size);
    bool fitToWindow(QImage &image, QImage &original);
    void refuseTooWide();
    void put(const QImage &image, const QImage &original = {});
    bool conversionPossible() const;
    screenfit::Kind fitKind() const
    {
        return m_kind.target == Target::Stereo ? screenfit::Kind::Stereo : screenfit::Kind::Design;
    }

    DocumentWindow &m_window;
    MainFacade &m_main;
    SharedState &m_shared;
    const PictureKind &m_kind;
    QStringList *m_unread;
    bool m_agreed = false;  ///< the picture too wide for the window is to be brought down
    int m_keptWidth = 0;    ///< ... to this width without asking, as its project says
};

QImage &Insertion::hiddenPicture()
{
    return m_kind.target == Target::Design ? m_window.picUra() : m_window.picUraField();
}

QImage Insertion::currentPicture()
{
    return m_kind.target == Target::Stereo ? m_window.picAfter()->image() : hiddenPicture();
}

void Insertion::run()
{
    // Every way out before the picture is put in leaves the document exactly as it was.
    QImage image;
    QString chosen;
    const document::Word<document::Source> &source = m_shared.InsertSource;
    if (source == document::Source::FromFile) {
        if (!fromFile(image, chosen))
            return;
    } else if (source == m_kind.clipboardWord) {
        image = m_main.clipboard().image();
        if (image.isNull())
            return;
        image = opaque(image);
    } else if (source == document::Source::FromProject) {
        if (!fromProject(image))
            return;
    } else {
        image = currentPicture();
        if (image.isNull())
            return;
    }

    QImage original;  // the picture as it came, when it is shown brought down
    if (!fitToWindow(image, original))
        return;
    if (m_kind.target == Target::Design && isNewPicture(source)) {
        // A project that kept its design smooth says so itself: the question is not asked again.
        const bool keepSmooth = source == document::Source::FromProject && m_shared.DesignDepth == DepthKind::Grey;
        m_shared.DesignDepth = askDepthKind(image, keepSmooth);
    }
    // A picture from the clipboard is in no file: the pane's path must not name the one before.
    if (!chosen.isEmpty())
        m_shared.*m_kind.path = chosen;
    else if (source == m_kind.clipboardWord)
        (m_shared.*m_kind.path).clear();
    if (m_kind.scaledWidth && isNewPicture(source))
        m_shared.*m_kind.scaledWidth = original.isNull() ? 0 : image.width();
    put(image, original);
    if (m_keptWidth > 0)
        m_main.setStatusText(1, screenfit::note(fitKind(), original.size(), image.size()));
}

bool Insertion::fromFile(QImage &image, QString &chosen)
{
    const document::AppSettings &settings = m_main.settings();
    const QString key = QString::fromLatin1(m_kind.folderKey);
    QString folder = settings.ReadSetting(key);
    if (folder.isEmpty())
        folder = document::samplesFolder();
    FileRequest request;
    request.folder = folder;
    request.filter = picture::pictureFileFilter();
    chosen = m_main.prompts().askFile(&m_window, request);
    if (chosen.isEmpty())
        return false;
    // The width is judged from the header: a picture too wide is decoded only when the user
    // takes it brought down.
    picture::LoadedPicture loaded = picture::readPicture(chosen);
    if (loaded.problem == picture::PictureProblem::TooWide) {
        settings.WriteSetting(key, document::FolderOfChosenFile(chosen));
        if (!agreeToFit(loaded.size))
            return false;
        loaded = picture::readPicture(chosen, screenfit::widestTaken());
    }
    if (!loaded.ok()) {
        m_main.prompts().exclamation(&m_window, applicationTitle(),
                                     picture::pictureFailureMessage(chosen, loaded));
        return false;
    }
    settings.WriteSetting(key, document::FolderOfChosenFile(chosen));
    image = std::move(loaded.image);
    return true;
}

bool Insertion::fromProject(QImage &image)
{
    const QString &path = m_shared.*m_kind.path;
    picture::LoadedPicture loaded = picture::readPicture(path);
    if (loaded.problem == picture::PictureProblem::TooWide) {
        // A project that showed the picture brought down does so again without asking.
        const int kept = m_kind.scaledWidth ? m_shared.*m_kind.scaledWidth : 0;
        if (kept > 0 && loaded.size.width() <= screenfit::widestTaken()) {
            m_keptWidth = kept;
            m_agreed = true;
        }
        if (!agreeToFit(loaded.size))
            return false;
        loaded = picture::readPicture(path, screenfit::widestTaken());
    }
    // A picture the program cannot take for its size says so; one that is gone, unreadable or
    // no file at all is named with the others in one message once the project is open.
    if (loaded.problem == picture::PictureProblem::TooWide)
        refuseTooWide();
    else if (loaded.problem == picture::PictureProblem::TooLarge)
        m_main.prompts().exclamation(&m_window, applicationTitle(),
                                     picture::pictureFailureMessage(path, loaded));
    else if (!loaded.ok() && m_unread)
        m_unread->append(QDir::toNativeSeparators(path));
    if (!loaded.ok())
        return false;
    image = std::move(loaded.image);
    return true;
}

bool Insertion::isNewPicture(const document::Word<document::Source> &source) const
{
    return source == document::Source::FromFile || source == m_kind.clipboardWord
        || source == document::Source::FromProject;
}

// A grey depth map from another program is used as smooth depth (the default), made a design in
// the depth colours, or taken as it is; anything else is a design in the depth colours. A project
// asks again when it brings back a picture it did not keep smooth, since it names the file as it
// was chosen, not what became of it.
DepthKind Insertion::askDepthKind(QImage &image, bool keepSmooth)
{
    if (!document::isGreyDepthMap(image))
        return DepthKind::Colours;
    if (keepSmooth)
        return DepthKind::Grey;
    const int answer = m_main.prompts().choose(&m_window, applicationTitle(), document::greyQuestionText(),
                                               document::greyQuestionButtons(), int(document::GreyAnswer::AsIs));
    return document::takeGreyAnswer(answer, image);
}

// The design and stereo pictures are offered to be brought down to the window's width once (a
// file is asked about before it is decoded); the field picture is refused.
bool Insertion::agreeToFit(QSize size)
{
    if (m_agreed)
        return true;
    if (!m_kind.scaledWidth) {
        refuseTooWide();
        return false;
    }
    m_agreed = screenfit::offer(m_main.prompts(), &m_window, DocumentWindow::tr(m_kind.tooWide), size, fitKind());
    return m_agreed;
}

bool Insertion::fitToWindow(QImage &image, QImage &original)
{
    if (image.width() <= picture::kMaxPictureWidth)
        return true;
    if (!agreeToFit(image.size()))
        return false;
    original = image;
    image = screenfit::fitted(original, m_keptWidth > 0 ? m_keptWidth : picture::kMaxPictureWidth, fitKind());
    return true;
}

void Insertion::refuseTooWide()
{
    m_main.prompts().exclamation(&m_window, applicationTitle(),
                                 DocumentWindow::tr(m_kind.tooWide));
}

void Insertion::put(const QImage &image, const QImage &original)
{
    Pane *pane = nullptr;
    switch (m_kind.target) {
    case Target::Design:
        pane = m_window.picContBefore();
        break;
    case Target::Field:
        pane = m_window.picContField();
        break;
    case Target::Stereo:
        pane = m_window.picContAfter();
        break;
    }
    // The design and field pictures are kept whole for the conversions; the pane shows a copy.
    if (m_kind.target != Target::Stereo)
        hiddenPicture() = image;
    pane->picture()->setImage(image);
    // A stereo picture from a file was made at a repeat width of its own, not the slider's:
    // found on its own pixels when the pane shows it brought down.
    int found = 0;
    if (m_kind.target == Target::Stereo && m_shared.InsertSource == document::Source::FromFile) {
        found = foundRepeatWidth(original.isNull() ? image : original);
        pane->picture()->setRepeatWidth(
            original.isNull() ? found : int(std::lround(double(found) * image.width() / original.width())));
    }
    pane->picture()->show();
    if (m_kind.target == Target::Stereo) {
        if (original.isNull())
            m_window.stereoFullSize().clear();
        else
            m_window.stereoFullSize().keep(original, pane->picture()->image(), found);
    }

    pane->layoutScroll();
    DocumentEvent event{DocumentEvent::Kind::PictureInserted};
    event.pane = int(m_kind.target);
    event.conversionPossible = conversionPossible();
    m_main.report(event);
    if (m_kind.target != Target::Stereo) {
        if (const QString note = m_window.fieldSizeNote(); !note.isEmpty())
            m_main.setStatusText(1, note);
    }
}

bool Insertion::conversionPossible() const
{
    const bool fieldShown = !m_window.picField()->isHidden();
    bool available = false;
    switch (m_kind.target) {
    case Target::Design:
        available = m_shared.ModeWord == document::Mode::RandomDot
            || (m_shared.ModeWord == document::Mode::Field && fieldShown);
        break;
    case Target::Field:
        available = !m_window.picBefore()->isHidden() && fieldShown;
        break;
    case Target::Stereo:
        break;
    }
    return available;
}

} // namespace

void DocumentWindow::InsPicDesign()
{
    Insertion(*this, m_main, kDesign).run();
}

void DocumentWindow::InsPicField()
{
    Insertion(*this, m_main, kField).run();
}

void DocumentWindow::InsPicStereo()
{
    Insertion(*this, m_main, kStereo).run();
}

void DocumentWindow::LoadProjectPictures()
{
    const QString flags = m_main.shared().OpenFlags;
    static const QStringList known = {QStringLiteral("DFS"), QStringLiteral("DF"), QStringLiteral("DS"),
                                      QStringLiteral("D"),   QStringLiteral("FS"), QStringLiteral("F"),
                                      QStringLiteral("S")};
    if (!known.contains(flags))
        return;
    // Each picture the project names is put in its pane when it can be; the pane of one that
    // cannot stays empty and the path stays with the project, should the picture come back.
    QStringList unread;
    if (flags.contains(QLatin1Char('D')))
        Insertion(*this, m_main, kDesign, &unread).run();
    if (flags.contains(QLatin1Char('F')))
        Insertion(*this, m_main, kField, &unread).run();
    if (flags.contains(QLatin1Char('S')))
        Insertion(*this, m_main, kStereo, &unread).run();
    if (!unread.isEmpty()) {
        m_main.prompts().exclamation(this, applicationTitle(),
                                     tr("次の画像が見つからないか、読み込めませんでした。\r\n%1")
                                         .arg(unread.join(QStringLiteral("\r\n"))));
    }
}

void DocumentWindow::insertPicture(int pane, const QImage &image, bool smoothDesign)
{
    static const PictureKind *const kinds[] = {&kDesign, &kField, &kStereo};
    if (pane >= 0 && pane < 3 && !image.isNull())
        Insertion(*this, m_main, *kinds[pane]).putMade(image, smoothDesign);
}

} // namespace lumivex::docwindow

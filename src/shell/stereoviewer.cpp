#include "stereoviewer.h"

#include "picture/animatedpng.h"
#include "picture/picture.h"
#include "picture/picturewriter.h"
#include "picture/safefile.h"
#include "prompts/prompts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace lumivex::shell {

StereoViewer::StereoViewer(prompts::Prompts &prompts, QWidget *owner) : QWidget(owner, Qt::Window), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmStereoViewer"));
    setWindowTitle(tr("立体で見る"));
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cmbViewKind"));
    m_kind->addItems({tr("アナグリフ"), tr("並べて（平行法）"), tr("並べて（交差法）"), tr("ウィグル")});
    bar->addWidget(m_kind);
    // The nearest point's disparity on screen, for comfort; the depth's own when opened.
    m_disparity = new QSpinBox(this);
    m_disparity->setObjectName(QStringLiteral("spnDisparity"));
    m_disparity->setRange(0, 400);
    m_disparity->setSuffix(tr(" ピクセル"));
    bar->addWidget(new QLabel(tr("視差"), this));
    bar->addWidget(m_disparity);
    m_viewCount = new QSpinBox(this);
    m_viewCount->setObjectName(QStringLiteral("spnViews"));
    m_viewCount->setRange(2, 16);
    bar->addWidget(new QLabel(tr("ウィグルの視点"), this));
    bar->addWidget(m_viewCount);
    auto *save = new QPushButton(tr("保存..."), this);
    save->setObjectName(QStringLiteral("cmdSaveView"));
    bar->addWidget(save);
    bar->addStretch();
    layout->addLayout(bar);
    auto *scroll = new QScrollArea(this);
    m_picture = new QLabel(scroll);
    m_picture->setObjectName(QStringLiteral("lblView"));
    scroll->setWidget(m_picture);
    scroll->setWidgetResizable(true);
    scroll->setAlignment(Qt::AlignCenter);
    layout->addWidget(scroll);
    connect(m_kind, &QComboBox::currentIndexChanged, this, &StereoViewer::render);
    connect(m_disparity, &QSpinBox::valueChanged, this, &StereoViewer::disparityChanged);
    connect(m_viewCount, &QSpinBox::valueChanged, this, [this] {
        m_frames.clear();
        render();
    });
    connect(save, &QPushButton::clicked, this, &StereoViewer::exportPicture);
    m_wiggle.setInterval(engine::kWiggleDelayMs);
    connect(&m_wiggle, &QTimer::timeout, this, [this] {
        if (m_frames.empty())
            return;
        m_frame = (m_frame + 1) % m_frames.size();
        display(picture::fromPacked(m_frames[m_frame]));
    });
    resize(720, 480);
}

void StereoViewer::showSurface(docwindow::DocumentSurface surface, Remake remake)
{
    m_surface = std::move(surface);
    m_remake = std::move(remake);
    {
        const QSignalBlocker blocker(m_disparity);
        m_disparity->setValue(qRound(m_surface.disparity.range()));
        m_disparity->setEnabled(bool(m_remake));
    }
    m_views = engine::renderViews(m_surface.disparity, m_surface.texture);
    m_frames.clear();
    render();
}

void StereoViewer::disparityChanged(int pixels)
{
    std::optional<docwindow::DocumentSurface> surface = m_remake ? m_remake(double(pixels)) : std::nullopt;
    if (!surface)
        return;
    m_surface = std::move(*surface);
    m_views = engine::renderViews(m_surface.disparity, m_surface.texture);
    m_frames.clear();
    render();
}

void StereoViewer::setKind(int kind)
{
    m_kind->setCurrentIndex(kind);
}

int StereoViewer::kind() const
{
    return m_kind->currentIndex();
}

void StereoViewer::render()
{
    m_wiggle.stop();
    if (m_views.left.picture.width < 1)
        return;
    if (kind() == Wiggle) {
        if (m_frames.empty())
            m_frames = engine::wiggleFrames(m_surface.disparity, m_surface.texture, m_viewCount->value());
        m_frame = 0;
        display(picture::fromPacked(m_frames.front()));
        m_wiggle.start();
        return;
    }
    static constexpr engine::ViewKind kinds[] = {engine::ViewKind::Anaglyph, engine::ViewKind::Parallel,
                                                 engine::ViewKind::Cross};
    display(picture::fromPacked(engine::composeViews(m_views.left.picture, m_views.right.picture, kinds[kind()])));
}

void StereoViewer::display(const QImage &image)
{
    m_shown = image;
    m_picture->setPixmap(QPixmap::fromImage(image));
}

bool StereoViewer::exportPicture()
{
    if (m_shown.isNull())
        return false;
    const bool wiggle = kind() == Wiggle;
    prompts::FileRequest request;
    request.title = tr("立体で見る画像の保存");
    request.fileName = wiggle ? QStringLiteral("wiggle.png") : QStringLiteral("stereo.png");
    request.filter = wiggle ? tr("アニメーション PNG (*.png)") : tr("PNG 画像 (*.png)");
    request.save = true;
    request.overwritePrompt = true;
    QString path = m_prompts.askFile(this, request);
    if (path.isEmpty())
        return false;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    QString why;
    bool written = false;
    if (!wiggle) {
        written = picture::writePictureFile(m_shown, path, picture::PictureFileFormat::Png, &why);
    } else {
        picture::SafeFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            why = file.errorString();
        else if (!picture::writeAnimatedPng(file, m_frames, engine::kWiggleDelayMs, &why))
            file.cancel();
        else if (!(written = file.commit()))
            why = file.errorString();
    }
    if (written)
        return true;
    //: %1 the file, %2 the reason
    m_prompts.exclamation(this, prompts::applicationTitle(), tr("%1 を保存できませんでした。\n%2").arg(path, why));
    return false;
}

} // namespace lumivex::shell

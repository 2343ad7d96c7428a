#include "documentviews.h"

#include "documentwindow.h"
#include "picturebox.h"

#include "document/sharedstate.h"
#include "engine/depth.h"
#include "engine/reveal.h"
#include "engine/smoothdepth.h"
#include "picture/picture.h"

#include <QCoreApplication>

#include <vector>

namespace lumivex::docwindow {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("lumivex::docwindow::DocumentViews", text);
}

engine::DepthImage designDepth(const QImage &design, bool smooth, bool invert)
{
    const engine::PackedImage packed = picture::toPacked(design);
    engine::DepthImage depth{packed.width, packed.height, {}};
    depth.z.resize(static_cast<std::size_t>(depth.width) * static_cast<std::size_t>(depth.height));
    std::vector<std::int32_t> levels(static_cast<std::size_t>(depth.width));
    for (int y = 0; y < depth.height; ++y) {
        const std::span<std::uint16_t> row(depth.z.data() + static_cast<std::size_t>(y) * depth.width,
                                           static_cast<std::size_t>(depth.width));
        if (smooth) {
            engine::GetSmoothDepthRow(packed.row(y), depth.width - 1, row, invert);
            continue;
        }
        engine::GetDepthRow(packed.row(y), depth.width - 1, levels, invert);
        for (std::size_t x = 0; x < levels.size(); ++x)
            row[x] = static_cast<std::uint16_t>(levels[x] * engine::kSmoothPerLevel);
    }
    return depth;
}

} // namespace

std::optional<DocumentSurface> documentSurface(DocumentWindow &document, const document::SharedState &shared,
                                               int rittaido, std::uint64_t seed, QString *problem,
                                               std::optional<double> maxDisparity)
{
    const PictureBox *stereo = document.picAfter();
    if (!stereo->isHidden() && !stereo->image().isNull()) {
        DocumentSurface surface;
        surface.fromStereogram = true;
        surface.texture = picture::toPacked(stereo->image());
        const engine::Reveal reveal = engine::reveal(surface.texture);
        if (!reveal.ok()) {
            *problem = tr("立体画像から奥行きを読み取れませんでした。");
            return std::nullopt;
        }
        surface.disparity = engine::revealedDisparity(reveal, maxDisparity);
        return surface;
    }
    const QImage &design = document.picUra();
    if (design.isNull() || design.width() < 1 || design.height() < 1) {
        *problem = tr("立体で見る画像がありません。デザイン画像を挿入するか、変換してください。");
        return std::nullopt;
    }
    DocumentSurface surface;
    surface.disparity = engine::designDisparity(designDepth(design, shared.DesignDepth == document::DepthKind::Grey,
                                                            shared.InvertDepth),
                                            rittaido, maxDisparity);
    surface.seed = seed;
    surface.texture = engine::greyDots(design.width(), design.height(), seed);
    return surface;
}

} // namespace lumivex::docwindow

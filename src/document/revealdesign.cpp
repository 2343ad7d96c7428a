#include "revealdesign.h"

#include "greydepth.h"
#include "picture/picture.h"

#include "engine/depth.h"
#include "engine/reveal.h"

#include <QCoreApplication>

#include <array>

namespace lumivex::document {

namespace {

QString noDepthMessage(engine::RevealProblem problem)
{
    if (problem == engine::RevealProblem::TooSmall)
        return QCoreApplication::translate("RevealDesign", "ステレオ画像が小さすぎるため、深さを読み取れません。\r\n"
                                                           "幅が%1ピクセル以上の画像が必要です。")
            .arg(engine::kMinRevealWidth);
    return QCoreApplication::translate("RevealDesign", "ステレオ画像に横方向の繰り返しが見つからないため、深さを読み取れません。");
}

} // namespace

RevealedDesign revealDesign(const QImage &stereo)
{
    RevealedDesign result;
    if (stereo.isNull()) {
        result.problem = QCoreApplication::translate("RevealDesign", "ステレオ画像がありません。");
        return result;
    }
    const engine::Reveal reveal = engine::reveal(picture::toPacked(stereo));
    if (!reveal.ok()) {
        result.problem = noDepthMessage(reveal.problem);
        return result;
    }
    result.repeatWidth = reveal.repeatWidth;
    result.sure = reveal.sure;
    result.smooth = reveal.continuous;
    result.note = reveal.sure
        ? QCoreApplication::translate("RevealDesign", "繰返幅 %1 で深さを読み取りました。").arg(reveal.repeatWidth)
        : QCoreApplication::translate("RevealDesign", "繰返幅 %1 で深さを読み取りましたが、繰り返しがはっきりしないため、"
                                                      "深さが違っているかもしれません。")
              .arg(reveal.repeatWidth);

    std::array<QRgb, 256> colourOfGrey{};
    for (int g = 0; g < 256; ++g)
        colourOfGrey[std::size_t(g)] = result.smooth ? qRgb(g, g, g)
            : picture::unpackPixel(engine::DepthPalette[std::size_t(greyDepthLevel(engine::pack(g, g, g)))]);
    const engine::GreyImage &depth = reveal.depth;
    QImage design(depth.width, depth.height, QImage::Format_RGB32);
    for (int y = 0; y < depth.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(design.scanLine(y));
        const std::span<const std::uint8_t> greys = depth.row(y);
        for (std::size_t x = 0; x < greys.size(); ++x)
            line[x] = colourOfGrey[greys[x]];
    }
    result.design = design;
    return result;
}

} // namespace lumivex::document

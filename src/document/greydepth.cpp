#include "greydepth.h"

#include "engine/depth.h"
#include "picture/picture.h"

#include <array>
#include <cassert>
#include <vector>

namespace lumivex::document {

int greyDepthLevel(engine::Packed colour)
{
    // The luma in thousandths (0..255000) keeps the sum exact, so that a grey never lands on
    // the level of its neighbour through an intermediate rounding. level = round(luma / 17).
    const int luma1000 =
        299 * engine::redOf(colour) + 587 * engine::greenOf(colour) + 114 * engine::blueOf(colour);
    return (2 * luma1000 + 17000) / 34000;
}

bool isGreyDepthMap(const QImage &picture)
{
    if (picture.isNull())
        return false;
    const QImage image =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    // The greys that are depth colours already, by value.
    std::array<bool, 256> depthGrey{};
    for (const engine::Packed colour : engine::DepthPalette) {
        const int r = engine::redOf(colour);
        if (r == engine::greenOf(colour) && r == engine::blueOf(colour))
            depthGrey[std::size_t(r)] = true;
    }
    bool otherGrey = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int r = qRed(line[x]);
            if (r != qGreen(line[x]) || r != qBlue(line[x]))
                return false;
            otherGrey = otherGrey || !depthGrey[std::size_t(r)];
        }
    }
    return otherGrey;
}

void greyRowToDepthColours(std::span<const engine::Packed> row, std::span<engine::Packed> out)
{
    assert(out.size() >= row.size());
    for (std::size_t x = 0; x < row.size(); ++x)
        out[x] = engine::DepthPalette[static_cast<std::size_t>(greyDepthLevel(row[x]))];
}

void greyToDepthColours(engine::PackedImage &picture)
{
    greyRowToDepthColours(picture.pixels, picture.pixels);
}

QImage greyToDepthColours(const QImage &picture)
{
    QImage result = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<engine::Packed> row(static_cast<std::size_t>(result.width()));
    for (int y = 0; y < result.height(); ++y) {
        picture::packRow(result, y, row);
        greyRowToDepthColours(row, row);
        picture::unpackRow(row, result, y);
    }
    return result;
}

} // namespace lumivex::document

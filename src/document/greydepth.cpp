#include "greydepth.h"

#include "engine/depth.h"
#include "picture/picture.h"

#include <QCoreApplication>

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

QString greyQuestionText()
{
    return QCoreApplication::translate(
        "GreyDepth",
        "グレースケールの深度画像です。滑らかな深さで使いますか、16段階の深さに変換しますか？\r\n\r\n"
        "「そのまま」は画像を深さの色として読みます。グレーは黒・灰・銀・白の4段階の深さに切られ、"
        "滑らかにはなりません。");
}

QStringList greyQuestionButtons()
{
    return {QCoreApplication::translate("GreyDepth", "滑らかな深さで使う"),
            QCoreApplication::translate("GreyDepth", "16段階に変換"),
            QCoreApplication::translate("GreyDepth", "そのまま")};
}

DepthKind takeGreyAnswer(int answer, QImage &picture)
{
    if (answer == int(GreyAnswer::Smooth))
        return DepthKind::Grey;
    if (answer == int(GreyAnswer::Sixteen))
        picture = greyToDepthColours(picture);
    return DepthKind::Colours;
}

} // namespace lumivex::document

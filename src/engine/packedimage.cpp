#include "packedimage.h"

#include "depth.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace lumivex::engine {

PackedImage convertRandomDot(const PackedImage &design, const DotParams &params, std::uint64_t seed,
                             RandomDot &dots)
{
    // The last column processed is width - 1: the design may be one pixel wider than a run.
    if (design.width > kMaxRunWidth + 1)
        throw std::invalid_argument("design picture too wide");
    if (design.width < 1 || design.height < 1)
        return {};
    const int scanWidth = design.width - 1;
    const int scanHeight = design.height - 1;
    PackedImage result(scanWidth, scanHeight);
    std::vector<std::int32_t> depth(static_cast<std::size_t>(scanWidth) + 1);
    dots.begin(params, scanWidth, seed);
    for (int y = 0; y <= scanHeight; ++y) {
        GetDepthRow(design.row(y), scanWidth, depth);
        dots.row(depth, y < scanHeight ? result.row(y) : std::span<Packed>{});
    }
    return result;
}

PackedImage convertRandomDot(const PackedImage &design, const DotParams &params, std::uint64_t seed)
{
    RandomDot dots;
    return convertRandomDot(design, params, seed, dots);
}

PackedImage convertField(const PackedImage &design, const PackedImage &field, const FieldParams &params)
{
    if (field.width > kMaxRunWidth)
        throw std::invalid_argument("field picture too wide");
    const int scanWidth = field.width;
    const int scanHeight = field.height;
    PackedImage result(field.width, field.height);
    std::vector<std::int32_t> depth(static_cast<std::size_t>(scanWidth) + 1);
    ColourField conv;
    conv.begin(params, scanWidth);
    for (int y = 0; y <= scanHeight; ++y) {
        GetDepthRow(design.row(y), scanWidth, depth);
        conv.row(depth, field.row(y), y < scanHeight ? result.row(y) : std::span<Packed>{});
    }
    return result;
}

PackedImage tileField(const PackedImage &source, int width, int height)
{
    PackedImage result(std::max(width, 0), std::max(height, 0));
    if (source.width <= 0 || source.height <= 0)
        return result;
    for (int y = 0; y < height; ++y) {
        const auto from = source.row(y % source.height);
        auto to = result.row(y);
        for (int x = 0; x < width; ++x)
            to[x] = from[x % source.width];
    }
    return result;
}

} // namespace lumivex::engine

#pragma once

#include "colourfield.h"
#include "packedcolour.h"
#include "randomdot.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::engine {

/// A picture as rows of packed colours, for whole-picture work outside the windows.
struct PackedImage
{
    int width = 0;
    int height = 0;
    std::vector<Packed> pixels;

    PackedImage() = default;
    PackedImage(int w, int h, Packed fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    /// Row y, or an empty span for a row outside the picture.
    std::span<const Packed> row(int y) const
    {
        if (y < 0 || y >= height)
            return {};
        return {pixels.data() + static_cast<std::size_t>(y) * width, static_cast<std::size_t>(width)};
    }
    std::span<Packed> row(int y)
    {
        return {pixels.data() + static_cast<std::size_t>(y) * width, static_cast<std::size_t>(width)};
    }
    Packed at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return kOutside;
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
};

/// One complete random-dot run started afresh over a design picture. The result is
/// (width-1) × (height-1). `dots` carries the window's state between runs. A design wider than
/// kMaxRunWidth + 1 (a result wider than kMaxRunWidth) throws std::invalid_argument.
PackedImage convertRandomDot(const PackedImage &design, const DotParams &params, std::uint64_t seed,
                             RandomDot &dots);
PackedImage convertRandomDot(const PackedImage &design, const DotParams &params, std::uint64_t seed);

/// One complete colour-field run over a design and a field picture. The result has the field's
/// size. A field wider than kMaxRunWidth throws std::invalid_argument.
PackedImage convertField(const PackedImage &design, const PackedImage &field, const FieldParams &params);

/// Tiles a small source picture, unscaled, from (0, 0) over an area of width × height:
/// the field picture the wizard builds.
PackedImage tileField(const PackedImage &source, int width, int height);

} // namespace lumivex::engine

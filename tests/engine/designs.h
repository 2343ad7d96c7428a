#pragma once

// Synthetic design and field pictures for the engine tests.

#include "engine/depth.h"
#include "engine/packedimage.h"

#include <functional>
#include <random>

namespace designs {

using lumivex::engine::DepthPalette;
using lumivex::engine::Packed;
using lumivex::engine::PackedImage;

inline PackedImage make(int width, int height, const std::function<Packed(int x, int y)> &colour)
{
    PackedImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.row(y)[x] = colour(x, y);
    return image;
}

inline PackedImage flat(int width, int height, int level)
{
    return make(width, height, [level](int, int) { return DepthPalette[level]; });
}

/// Runs of 1..40 pixels, each a depth colour or an arbitrary colour, so that the depth steps
/// up and down often, at the borders too.
inline PackedImage noise(int width, int height, unsigned seed)
{
    std::mt19937 gen(seed);
    PackedImage image(width, height);
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            const int run = static_cast<int>(gen() % 40) + 1;
            const Packed c = gen() % 3 == 0 ? static_cast<Packed>(gen() & 0xffffff)
                                            : DepthPalette[gen() % 16];
            for (int i = 0; i < run && x < width; ++i, ++x)
                image.row(y)[x] = c;
        }
    }
    return image;
}

/// A colourful field picture; roughly one pixel in blackShare is pure black (none when 0).
inline PackedImage field(int width, int height, unsigned seed, int blackShare)
{
    std::mt19937 gen(seed);
    return make(width, height, [&](int, int) {
        if (blackShare > 0 && static_cast<int>(gen() % blackShare) == 0)
            return Packed(0);
        return static_cast<Packed>(gen() % 0xffffff) + 1;
    });
}

} // namespace designs

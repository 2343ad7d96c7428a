#pragma once

// Plain, slow versions of the conversions, written straight from the algorithm description
// with no tables and no shortcuts. The engine must give exactly the same pictures.

#include "engine/packedimage.h"
#include "engine/uniformrandom.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace reference {

using lumivex::engine::Packed;
using lumivex::engine::PackedImage;

inline int coarse(int v)
{
    if (v <= 64)
        return 0;
    if (v <= 160)
        return 128;
    if (v <= 207)
        return 192;
    return 255;
}

inline int level(Packed colour)
{
    static const int palette[16][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},
        {0, 0, 128},   {128, 0, 128}, {0, 128, 128},   {128, 128, 128},
        {192, 192, 192}, {255, 0, 0}, {0, 255, 0},     {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255},   {255, 255, 255},
    };
    if (colour == -1)
        return 0;  // outside the picture: the background plane
    const long long q = coarse(colour & 255) + 256LL * coarse((colour >> 8) & 255)
                        + 65536LL * coarse((colour >> 16) & 255);
    int best = 0;
    long long bestDiff = -1;
    for (int i = 0; i < 16; ++i) {
        const long long p = palette[i][0] + 256LL * palette[i][1] + 65536LL * palette[i][2];
        if (p == q)
            return i;
        const long long diff = std::llabs(q - p);
        if (bestDiff < 0 || diff < bestDiff) {
            bestDiff = diff;
            best = i;
        }
    }
    return best;
}

inline int shift(int rittaido, int lvl)
{
    const float factor = static_cast<float>(rittaido / 10.0);
    return static_cast<int>(std::nearbyint(static_cast<double>(factor) * lvl));
}

inline std::vector<int> depthRow(const PackedImage &design, int y, int scanWidth)
{
    std::vector<int> row(scanWidth + 1);
    for (int x = 0; x <= scanWidth; ++x)
        row[x] = level(design.at(x, y));
    return row;
}

/// The random-dot conversion of one window; previousShift lives as long as the window.
struct RandomDot
{
    static constexpr Packed dotPalette[16] = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xc0c0c0,
        0x808080, 0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff,
    };
    int previousShift = 0;

    /// Processes rows firstRow..H-1 of the design into result, with a fresh seed.
    void run(const PackedImage &design, int k, int rittaido, int mitudo, bool mono,
             std::uint64_t seed, PackedImage &result, int firstRow = 0, int endRow = -1)
    {
        lumivex::engine::UniformRandom random(seed);
        const int scanWidth = design.width - 1;
        const int scanHeight = design.height - 1;
        auto choose = [&](std::vector<int> &dotRow, int p) {
            const int r = static_cast<int>(random.next() * 101.0f);
            if (r >= mitudo)
                dotRow[p] = 0;
            else if (mono)
                dotRow[p] = 15;
            else
                dotRow[p] = static_cast<int>(random.next() * 16.0f);
        };
        for (int y = firstRow; y <= scanHeight && y != endRow; ++y) {
            std::vector<int> dotRow(scanWidth + 1, 0);
            const std::vector<int> depth = depthRow(design, y, scanWidth);
            for (int x = 0; x <= scanWidth; ++x) {
                const int s = shift(rittaido, depth[x]);
                if (x <= k && dotRow[x] == 0)
                    choose(dotRow, x);
                if (x < result.width && y < result.height)
                    result.row(y)[x] = dotPalette[dotRow[x]];
                const int t = x + k - s;
                if (t >= 0 && t <= scanWidth)
                    dotRow[t] = dotRow[x];
                if (s < previousShift) {
                    for (int i = x + k - previousShift; i <= x + k - s - 1; ++i) {
                        if (i >= 0 && i <= scanWidth)
                            choose(dotRow, i);
                    }
                }
                previousShift = s;
            }
        }
    }
};

/// The colour-field conversion over rows firstRow..field height.
inline void field(const PackedImage &design, const PackedImage &fieldPicture, int k, int rittaido,
                  PackedImage &result, int firstRow = 0)
{
    const int scanWidth = fieldPicture.width;
    const int scanHeight = fieldPicture.height;
    for (int y = firstRow; y <= scanHeight; ++y) {
        std::vector<Packed> fieldRow(scanWidth + 1, 0);
        const std::vector<int> depth = depthRow(design, y, scanWidth);
        for (int x = 0; x <= scanWidth; ++x) {
            const int s = shift(rittaido, depth[x]);
            if (fieldRow[x] == 0)
                fieldRow[x] = fieldPicture.at(x, y);
            if (x < result.width && y < result.height)
                result.row(y)[x] = fieldRow[x];
            const int t = x + k - s;
            if (t >= 0 && t <= scanWidth)
                fieldRow[t] = fieldRow[x];
        }
    }
}

} // namespace reference

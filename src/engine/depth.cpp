#include "depth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace lumivex::engine {

const std::array<Packed, 16> DepthPalette = {
    pack(0, 0, 0),       pack(128, 0, 0),   pack(0, 128, 0),   pack(128, 128, 0),
    pack(0, 0, 128),     pack(128, 0, 128), pack(0, 128, 128), pack(128, 128, 128),
    pack(192, 192, 192), pack(255, 0, 0),   pack(0, 255, 0),   pack(255, 255, 0),
    pack(0, 0, 255),     pack(255, 0, 255), pack(0, 255, 255), pack(255, 255, 255),
};

namespace {

constexpr int kCoarse[4] = {0, 128, 192, 255};

constexpr int coarseClass(int v)
{
    return v <= 64 ? 0 : v <= 160 ? 1 : v <= 207 ? 2 : 3;
}

int levelOfCoarse(Packed q)
{
    int best = 0;
    long long bestDiff = std::llabs(static_cast<long long>(q) - DepthPalette[0]);
    for (int level = 0; level < 16; ++level) {
        if (DepthPalette[level] == q)
            return level;
    }
    for (int level = 1; level < 16; ++level) {
        const long long diff = std::llabs(static_cast<long long>(q) - DepthPalette[level]);
        if (diff < bestDiff) {
            bestDiff = diff;
            best = level;
        }
    }
    return best;
}

// Every colour coarsens to one of 4 × 4 × 4 values, whose levels are worked out once. A colour
// is looked up in three steps with no arithmetic per component: its low half (red, green) and
// its high half (blue, and the top byte that marks a point outside) each index a table of
// partial indices, and their sum indexes the levels.
constexpr int kOutsideIndex = 64;  // any index from here on is outside the picture: level 0

struct Tables
{
    std::array<std::uint8_t, 65536> redGreen{};  ///< red class × 16 + green class × 4
    std::array<std::uint8_t, 65536> blueTop{};   ///< blue class, or kOutsideIndex for -1
    std::array<std::uint8_t, 128> level{};

    Tables()
    {
        for (int v = 0; v < 65536; ++v) {
            redGreen[v] = static_cast<std::uint8_t>(coarseClass(v & 0xff) * 16 + coarseClass(v >> 8) * 4);
            blueTop[v] = static_cast<std::uint8_t>(coarseClass(v & 0xff));
        }
        blueTop[0xffff] = kOutsideIndex;
        for (int r = 0; r < 4; ++r)
            for (int g = 0; g < 4; ++g)
                for (int b = 0; b < 4; ++b)
                    level[r * 16 + g * 4 + b] = static_cast<std::uint8_t>(
                        levelOfCoarse(pack(kCoarse[r], kCoarse[g], kCoarse[b])));
    }

    int lookup(Packed c) const
    {
        const auto u = static_cast<std::uint32_t>(c);
        return level[redGreen[u & 0xffffu] + blueTop[u >> 16]];
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

int coarsen(int component)
{
    return kCoarse[coarseClass(component)];
}

int depthLevel(Packed colour)
{
    return tables().lookup(colour);
}

void invertDepthColours(std::span<Packed> row)
{
    for (Packed &colour : row)
        colour = DepthPalette[static_cast<std::size_t>(invertedLevel(depthLevel(colour)))];
}

void GetDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::int32_t> depthRow, bool invert)
{
    GetDepthRow(designRow, scanWidth, depthRow);
    if (!invert || scanWidth < 0)
        return;
    const std::size_t inside = std::min(designRow.size(), static_cast<std::size_t>(scanWidth) + 1);
    for (std::int32_t &level : depthRow.first(inside))
        level = invertedLevel(level);
}

void GetDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::int32_t> depthRow)
{
    if (scanWidth >= static_cast<int>(depthRow.size()))
        throw std::out_of_range("depth row too short for the columns to sample");
    const Tables &t = tables();
    const int inside = std::max(std::min(scanWidth + 1, static_cast<int>(designRow.size())), 0);
    const Packed *design = designRow.data();
    std::int32_t *depth = depthRow.data();
    for (int x = 0; x < inside; ++x)
        depth[x] = t.lookup(design[x]);
    for (int x = inside; x <= scanWidth; ++x)
        depth[x] = 0;
}

float depthFactor(int rittaido)
{
    return static_cast<float>(rittaido) / 10.0f;
}

int depthShift(float factor, int level)
{
    // The default rounding mode rounds halves to even.
    return static_cast<int>(std::lrint(static_cast<double>(factor) * level));
}

int limitParameter(int value)
{
    return std::clamp(value, -kParameterLimit, kParameterLimit);
}

std::array<int, 16> linkOffsets(int kurikaesi, int rittaido)
{
    const std::array<int, 16> shifts = shiftTable(depthFactor(rittaido));
    std::array<int, 16> offsets{};
    for (int level = 0; level < 16; ++level)
        offsets[level] = kurikaesi - shifts[level];
    return offsets;
}

std::array<int, 16> shiftTable(float factor)
{
    std::array<int, 16> shifts{};
    for (int level = 0; level < 16; ++level)
        shifts[level] = depthShift(factor, level);
    return shifts;
}

} // namespace lumivex::engine

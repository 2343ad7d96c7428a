#include "depth.h"

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

// Every colour coarsens to one of 4 × 4 × 4 values; their levels are worked out once.
struct Tables
{
    std::array<std::uint8_t, 256> classOf{};
    std::array<std::uint8_t, 64> level{};

    Tables()
    {
        for (int v = 0; v < 256; ++v)
            classOf[v] = static_cast<std::uint8_t>(coarseClass(v));
        for (int r = 0; r < 4; ++r)
            for (int g = 0; g < 4; ++g)
                for (int b = 0; b < 4; ++b)
                    level[r * 16 + g * 4 + b] = static_cast<std::uint8_t>(
                        levelOfCoarse(pack(kCoarse[r], kCoarse[g], kCoarse[b])));
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

inline int lookup(const Tables &t, Packed c)
{
    if (c == kOutside)
        return 0;
    return t.level[t.classOf[redOf(c)] * 16 + t.classOf[greenOf(c)] * 4 + t.classOf[blueOf(c)]];
}

} // namespace

int coarsen(int component)
{
    return kCoarse[coarseClass(component)];
}

int depthLevel(Packed colour)
{
    return lookup(tables(), colour);
}

void GetDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::int32_t> depthRow)
{
    if (scanWidth >= static_cast<int>(depthRow.size()))
        throw std::out_of_range("depth row too short for the columns to sample");
    const Tables &t = tables();
    const int inside = std::min(scanWidth + 1, static_cast<int>(designRow.size()));
    int x = 0;
    for (; x < inside; ++x)
        depthRow[x] = lookup(t, designRow[x]);
    for (; x <= scanWidth; ++x)
        depthRow[x] = 0;
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

std::array<int, 16> shiftTable(float factor)
{
    std::array<int, 16> shifts{};
    for (int level = 0; level < 16; ++level)
        shifts[level] = depthShift(factor, level);
    return shifts;
}

} // namespace lumivex::engine

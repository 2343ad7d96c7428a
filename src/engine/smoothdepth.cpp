#include "smoothdepth.h"

#include "depth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace lumivex::engine {

namespace {

// heldOversample as a power of two.
int oversampleBits(int oversample)
{
    if (oversample <= 1)
        return 0;
    if (oversample <= 2)
        return 1;
    return oversample < 6 ? 2 : 3;
}

// Inline and without a branch, so that a row's work vectorises and its division by 1000
// becomes a multiplication.
inline std::uint16_t depthOf(Packed colour)
{
    const auto c = static_cast<std::uint32_t>(colour);
    const std::uint32_t luma = 299 * (c & 0xffu) + 587 * (c >> 8 & 0xffu) + 114 * (c >> 16 & 0xffu);
    const auto depth = static_cast<std::uint16_t>((luma * 257u + 500u) / 1000u);
    return colour == kOutside ? std::uint16_t(0) : depth;
}

// The shift of depth z at q times the resolution (scale = factor × 15 × q): factor × 15 × q ×
// z / 65535 in double precision from the single-precision factor, rounded with ties to even.
// The product before the division is exact, so at z = L × 4369 the quotient is exactly
// factor × q × L, and the shift that of level L (depthShift) scaled by q.
int shiftOf(double scale, int z)
{
    return static_cast<int>(std::lrint(scale * z / kSmoothNear));
}

// The scale of shiftOf for a strength at q times the resolution.
double shiftScale(int rittaido, int q)
{
    return static_cast<double>(depthFactor(limitParameter(rittaido))) * (15 * q);
}

} // namespace

int heldOversample(int oversample)
{
    return 1 << oversampleBits(oversample);
}

int smoothShift(int rittaido, int oversample, int z)
{
    return shiftOf(shiftScale(rittaido, heldOversample(oversample)), z);
}

std::uint16_t smoothDepth(Packed colour)
{
    return depthOf(colour);
}

void invertSmoothDepths(std::span<std::uint16_t> depths)
{
    for (std::uint16_t &z : depths)
        z = static_cast<std::uint16_t>(kSmoothNear - z);
}

void GetSmoothDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::uint16_t> depthRow,
                       bool invert)
{
    GetSmoothDepthRow(designRow, scanWidth, depthRow);
    if (invert && scanWidth >= 0)
        invertSmoothDepths(depthRow.first(std::min(designRow.size(), static_cast<std::size_t>(scanWidth) + 1)));
}

void GetSmoothDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::uint16_t> depthRow)
{
    if (scanWidth < 0)
        return;
    if (depthRow.size() <= static_cast<std::size_t>(scanWidth))
        throw std::out_of_range("depth row shorter than the columns to sample");
    const int inside = static_cast<int>(std::min(designRow.size(), static_cast<std::size_t>(scanWidth) + 1));
    // Depth maps are mostly grey, (g, g, g) at g × 257: a row of greys needs no weighing.
    const Packed *design = designRow.data();
    std::uint16_t *depth = depthRow.data();
    std::uint32_t notGrey = 0;
    for (int x = 0; x < inside; ++x) {
        const auto c = static_cast<std::uint32_t>(design[x]);
        notGrey |= c ^ (c & 0xffu) * 0x010101u;
        depth[x] = static_cast<std::uint16_t>((c & 0xffu) * 257u);
    }
    if (notGrey != 0) {
        for (int x = 0; x < inside; ++x)
            depth[x] = depthOf(design[x]);
    }
    std::fill(depthRow.begin() + inside, depthRow.begin() + scanWidth + 1, std::uint16_t(0));
}

void SmoothLinks::begin(int kurikaesi, int rittaido, const SmoothOptions &options, int scanWidth)
{
    const int k = limitParameter(kurikaesi);
    m_shiftBits = oversampleBits(options.oversample);
    const int q = 1 << m_shiftBits;
    m_scanWidth = std::clamp(scanWidth, 0, kMaxRunWidth);
    m_repeat = q * k;
    m_last = q * (m_scanWidth + 1) - 1;
    const int middle = std::clamp((m_scanWidth - k) / 2, 0, m_scanWidth);
    m_start = options.start == SmoothStart::Centre ? q * middle : 0;

    // The shift grows (or falls) with z: the table is filled a run of equal shifts at a time,
    // each run's end estimated and then put right with the exact shift.
    m_ofDepth.resize(kSmoothNear + 1);
    const double scale = shiftScale(rittaido, q);
    for (int z = 0; z <= kSmoothNear;) {
        const int shift = shiftOf(scale, z);
        int end = kSmoothNear;
        if (scale != 0) {
            const double edge = (shift + (scale > 0 ? 0.5 : -0.5)) * kSmoothNear / scale;
            end = static_cast<int>(std::clamp(std::floor(edge), static_cast<double>(z), double(kSmoothNear)));
            while (end < kSmoothNear && shiftOf(scale, end + 1) == shift)
                ++end;
            while (end > z && shiftOf(scale, end) != shift)
                --end;
        }
        std::fill(m_ofDepth.begin() + z, m_ofDepth.begin() + end + 1, m_repeat - shift);
        z = end + 1;
    }
}

void SmoothLinks::setRow(std::span<const std::uint16_t> depthRow)
{
    if (depthRow.size() <= static_cast<std::size_t>(m_scanWidth))
        throw std::out_of_range("depth row shorter than the columns to convert");
    m_depth = depthRow.data();
}

} // namespace lumivex::engine

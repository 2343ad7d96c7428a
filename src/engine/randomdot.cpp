#include "randomdot.h"

#include "depth.h"
#include "linkrows.h"

#include <algorithm>
#include <stdexcept>

namespace lumivex::engine {

// The number of 24-bit draws u whose r = floor(u × 2^-24 × 101), computed in single precision
// as the dot choice does, is below the density. r grows with u, so those draws are exactly
// 0 .. threshold - 1.
std::uint32_t links::dotThreshold(int mitudo)
{
    auto r = [](std::uint32_t u) { return static_cast<int>(UniformRandom::toUnit(u) * 101.0f); };
    std::uint32_t low = 0, high = 1u << 24;  // the answer lies in low .. high
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (r(mid) < mitudo)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

const std::array<Packed, 16> DotPalette = links::kDotColours;

void RandomDot::begin(const DotParams &params, int scanWidth, std::uint64_t seed)
{
    m_params = params;
    m_params.kurikaesi = limitParameter(params.kurikaesi);
    m_params.rittaido = limitParameter(params.rittaido);
    m_scanWidth = std::clamp(scanWidth, 0, kMaxRunWidth);
    m_offset = linkOffsets(m_params.kurikaesi, m_params.rittaido);
    // Every row clears the positions it uses, so the contents left from an earlier run do not
    // matter; a run no wider than the last one keeps the buffer it has.
    m_dotRow.resize(static_cast<std::size_t>(m_scanWidth) + 1);
    m_dotThreshold = links::dotThreshold(params.mitudo);
    m_random.reseed(seed);
}

void RandomDot::row(std::span<const std::int32_t> depthRow, std::span<Packed> out)
{
    const int last = m_scanWidth;
    if (depthRow.size() <= static_cast<std::size_t>(last))
        throw std::out_of_range("depth row shorter than the columns to convert");
    std::fill_n(m_dotRow.begin(), last + 1, 0);

    const int visible = std::min(static_cast<int>(out.size()), last);
    const std::array<int, 16> offset = m_offset;
    const std::int32_t *depth = depthRow.data();
    const auto offsetAt = [offset, depth](int x) { return offset[depth[x] & 15]; };
    int previousOffset = m_params.kurikaesi - m_previousShift;
    links::DotChooser chooser{m_random, m_dotThreshold, m_params.mono};
    links::dotRow(m_params.kurikaesi, last, visible, offsetAt, m_dotRow.data(), out.data(), previousOffset, chooser);
    m_previousShift = m_params.kurikaesi - previousOffset;
    m_random = chooser.random;
}

} // namespace lumivex::engine

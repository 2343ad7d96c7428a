#include "randomdot.h"

#include "depth.h"

#include <algorithm>

namespace lumivex::engine {

const std::array<Packed, 16> DotPalette = {
    pack(0, 0, 0),       pack(0, 0, 128),   pack(0, 128, 0),   pack(0, 128, 128),
    pack(128, 0, 0),     pack(128, 0, 128), pack(128, 128, 0), pack(192, 192, 192),
    pack(128, 128, 128), pack(0, 0, 255),   pack(0, 255, 0),   pack(0, 255, 255),
    pack(255, 0, 0),     pack(255, 0, 255), pack(255, 255, 0), pack(255, 255, 255),
};

void RandomDot::begin(const DotParams &params, int scanWidth, std::uint64_t seed)
{
    m_params = params;
    m_scanWidth = std::clamp(scanWidth, 0, kMaxWidth);
    m_shift = shiftTable(depthFactor(params.rittaido));
    m_random.reseed(seed);
}

void RandomDot::row(std::span<const std::int32_t> depthRow, std::span<Packed> out)
{
    const int last = m_scanWidth;
    const int k = m_params.kurikaesi;
    const int visible = std::min(static_cast<int>(out.size()), last);
    std::fill_n(m_dotRow.begin(), last + 1, 0);

    int previous = m_previousShift;
    for (int x = 0; x <= last; ++x) {
        const int shift = m_shift[depthRow[x] & 15];
        if (x <= k && m_dotRow[x] == 0)
            choose(x);
        if (x < visible)
            out[x] = DotPalette[m_dotRow[x]];
        const int t = x + k - shift;
        if (t >= 0 && t <= last)
            m_dotRow[t] = m_dotRow[x];
        if (shift < previous) {
            // The surface steps back: these positions are reached by no link.
            const int from = std::max(x + k - previous, 0);
            const int to = std::min(x + k - shift - 1, last);
            for (int i = from; i <= to; ++i)
                choose(i);
        }
        previous = shift;
    }
    m_previousShift = previous;
}

} // namespace lumivex::engine

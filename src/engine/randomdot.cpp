#include "randomdot.h"

#include "depth.h"

#include <algorithm>
#include <stdexcept>

namespace lumivex::engine {

namespace {

// Internal copy: the row loops read it without going through the exported symbol.
constexpr std::array<Packed, 16> kDotColours = {
    pack(0, 0, 0),       pack(0, 0, 128),   pack(0, 128, 0),   pack(0, 128, 128),
    pack(128, 0, 0),     pack(128, 0, 128), pack(128, 128, 0), pack(192, 192, 192),
    pack(128, 128, 128), pack(0, 0, 255),   pack(0, 255, 0),   pack(0, 255, 255),
    pack(255, 0, 0),     pack(255, 0, 255), pack(255, 255, 0), pack(255, 255, 255),
};

// The number of 24-bit draws u whose r = floor(u × 2^-24 × 101), computed in single precision
// as the dot choice does, is below the density. r grows with u, so those draws are exactly
// 0 .. threshold - 1.
std::uint32_t dotThreshold(int mitudo)
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

} // namespace

const std::array<Packed, 16> DotPalette = kDotColours;

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
    m_dotThreshold = dotThreshold(params.mitudo);
    m_random.reseed(seed);
}

void RandomDot::row(std::span<const std::int32_t> depthRow, std::span<Packed> out)
{
    const int last = m_scanWidth;
    if (depthRow.size() <= static_cast<std::size_t>(last))
        throw std::out_of_range("depth row shorter than the columns to convert");
    std::fill_n(m_dotRow.begin(), last + 1, 0);

    // Columns 0..K may get a dot of their own and columns before `visible` are drawn; the
    // row is worked in up to three stretches so that the inner loops test neither.
    const int visible = std::min(static_cast<int>(out.size()), last);
    const int chooseEnd = std::clamp(m_params.kurikaesi + 1, 0, last + 1);
    const int split = std::min(chooseEnd, visible);
    const int rest = std::max(chooseEnd, visible);
    const std::int32_t *depth = depthRow.data();
    Packed *pixels = out.data();

    int previous = m_previousShift;
    DotChooser chooser{m_random, m_dotThreshold, m_params.mono};
    columns<true, true>(0, split, depth, pixels, previous, chooser);
    if (chooseEnd < visible)
        columns<false, true>(split, rest, depth, pixels, previous, chooser);
    else
        columns<true, false>(split, rest, depth, pixels, previous, chooser);
    columns<false, false>(rest, last + 1, depth, pixels, previous, chooser);
    m_previousShift = previous;
    m_random = chooser.random;
}

template <bool Choose, bool Draw>
void RandomDot::columns(int from, int to, const std::int32_t *depth, Packed *out, int &previous,
                        DotChooser &chooser)
{
    // Works with link offsets K - shift: an offset larger than the previous column's means the
    // shift fell. The inner loop leaves for the gap fill, so that it keeps its values in
    // registers.
    const int k = m_params.kurikaesi;
    const int lastColumn = m_scanWidth;
    const unsigned last = static_cast<unsigned>(lastColumn);
    std::int32_t *dots = m_dotRow.data();
    int previousOffset = k - previous;
    int x = from;
    while (x < to) {
        int linkOffset = previousOffset;
        for (; x < to; ++x) {
            linkOffset = m_offset[depth[x] & 15];
            if constexpr (Choose) {
                // A copied dot stays; an empty or black position gets a fresh one.
                if (dots[x] == 0)
                    dots[x] = chooser.next();
            }
            const std::int32_t dot = dots[x];
            if constexpr (Draw)
                out[x] = kDotColours[dot];
            const unsigned t = static_cast<unsigned>(x + linkOffset);
            if (t <= last)
                dots[t] = dot;
            if (linkOffset > previousOffset)
                break;
            previousOffset = linkOffset;
        }
        if (x < to) {
            // The surface steps back: these positions are reached by no link.
            const int fillEnd = std::min(x + linkOffset - 1, lastColumn);
            for (int i = std::max(x + previousOffset, 0); i <= fillEnd; ++i)
                dots[i] = chooser.next();
            previousOffset = linkOffset;
            ++x;
        }
    }
    previous = k - previousOffset;
}

} // namespace lumivex::engine

#include "smoothdepth.h"

#include "depth.h"
#include "linkrows.h"

#include <algorithm>

namespace lumivex::engine {

namespace {

// Red and blue, and green, each in 16-bit lanes of a 32-bit word: a weight of up to 256
// times a component stays within its lane.
constexpr std::uint32_t kRedBlue = 0x00ff00ffu;

// u + (v - u) × w / 256, rounded, for w in 0..256.
Packed blend(Packed u, Packed v, std::uint32_t w)
{
    const std::uint32_t a = static_cast<std::uint32_t>(u), b = static_cast<std::uint32_t>(v);
    const std::uint32_t rb = ((a & kRedBlue) * (256 - w) + (b & kRedBlue) * w + 0x00800080u) >> 8 & kRedBlue;
    const std::uint32_t g = ((a >> 8 & 0xffu) * (256 - w) + (b >> 8 & 0xffu) * w + 0x80u) >> 8;
    return static_cast<Packed>(rb | g << 8);
}

} // namespace

void SmoothField::begin(const FieldParams &params, const SmoothOptions &options, int scanWidth)
{
    m_links.begin(params.kurikaesi, params.rittaido, options, scanWidth);
    const std::size_t positions = static_cast<std::size_t>(m_links.lastPosition()) + 1;
    m_field.resize(positions);
    m_colours.resize(positions);
    m_drawn.resize(positions);
}

// The field at the sub-pixels' centres: sub-pixel p of column x lies at x + (2p + 1 - q) / 2q,
// between the centres of two columns, and takes their colours blended by its distance to
// each (the edge columns reach beyond the row unchanged). Returns the sub-pixels in the field.
int SmoothField::sampleField(std::span<const Packed> fieldRow)
{
    const int bits = m_links.shiftBits();
    const int q = 1 << bits;
    const int width = static_cast<int>(std::min(fieldRow.size(), static_cast<std::size_t>(m_links.scanWidth()) + 1));
    Packed *sub = m_field.data();
    for (int x = 0; x < width; ++x) {
        const Packed left = fieldRow[std::max(x - 1, 0)];
        const Packed own = fieldRow[x];
        const Packed right = fieldRow[std::min(x + 1, width - 1)];
        for (int p = 0; p < q; ++p) {
            const int w = (2 * p + 1 - q) * 128 / q;  // in 256ths of a column, -112..112
            sub[(x << bits) + p] = w < 0 ? blend(own, left, static_cast<std::uint32_t>(-w))
                                         : blend(own, right, static_cast<std::uint32_t>(w));
        }
    }
    return width << bits;
}

void SmoothField::row(std::span<const std::uint16_t> depthRow, std::span<const Packed> fieldRow,
                      std::span<Packed> out)
{
    m_links.setRow(depthRow);
    const int last = m_links.lastPosition();
    const int start = m_links.start();
    const int visible = std::max(std::min(static_cast<int>(out.size()), m_links.scanWidth()), 0);

    if (m_links.oversample() == 1 && start == 0) {
        // Whole pixels from the left: ColourField's row, drawn straight to the picture.
        const int fieldWidth = static_cast<int>(std::min(fieldRow.size(), static_cast<std::size_t>(last) + 1));
        std::fill_n(m_colours.data(), last + 1, 0);
        links::fieldRow(last, visible, fieldWidth, m_links.offsetsFrom(0), fieldRow.data(), m_colours.data(),
                        out.data());
        return;
    }

    const int fieldWidth = sampleField(fieldRow);
    const Packed *field = m_field.data();
    Packed *drawn = m_drawn.data();
    // The row from its own strip rightward, every position drawn so that the reduction and
    // the positions left of the strip can read it.
    std::fill(m_colours.data() + start, m_colours.data() + last + 1, 0);
    const int inStrip = std::max(fieldWidth - start, 0);
    links::fieldRow(last - start, last - start + 1, inStrip, m_links.offsetsFrom(start),
                    inStrip > 0 ? field + start : field, m_colours.data() + start, drawn + start);
    // Left of the strip each position takes the colour its link reaches (see SmoothDot::row);
    // black and positions outside the field are never carried.
    for (int a = start - 1; a >= 0; --a) {
        const Packed c = drawn[std::clamp(a + m_links.offsetAt(a), a + 1, last)];
        drawn[a] = c != 0 && c != kOutside ? c : (a < fieldWidth ? field[a] : kOutside);
    }

    // Each output pixel is the average of its sub-pixels.
    const int bits = m_links.shiftBits();
    const std::uint32_t half = (1u << bits) >> 1;
    for (int x = 0; x < visible; ++x) {
        std::uint32_t rb = half * 0x00010001u, g = half;
        for (int p = 0; p < (1 << bits); ++p) {
            const std::uint32_t c = static_cast<std::uint32_t>(drawn[(x << bits) + p]);
            rb += c & kRedBlue;
            g += c >> 8 & 0xffu;
        }
        out[x] = static_cast<Packed>((rb >> bits & kRedBlue) | (g >> bits) << 8);
    }
}

} // namespace lumivex::engine

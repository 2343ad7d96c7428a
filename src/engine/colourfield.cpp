#include "colourfield.h"

#include "depth.h"

#include <algorithm>
#include <stdexcept>

namespace lumivex::engine {

void ColourField::begin(const FieldParams &params, int scanWidth)
{
    m_params = params;
    m_params.kurikaesi = limitParameter(params.kurikaesi);
    m_params.rittaido = limitParameter(params.rittaido);
    m_scanWidth = std::clamp(scanWidth, 0, kMaxRunWidth);
    m_offset = linkOffsets(m_params.kurikaesi, m_params.rittaido);
    // Every row clears the positions it uses: only the size matters here.
    m_fieldRow.resize(static_cast<std::size_t>(m_scanWidth) + 1);
}

void ColourField::row(std::span<const std::int32_t> depthRow, std::span<const Packed> fieldRow,
                      std::span<Packed> out)
{
    const int last = m_scanWidth;
    if (depthRow.size() <= static_cast<std::size_t>(last))
        throw std::out_of_range("depth row shorter than the columns to convert");
    std::fill_n(m_fieldRow.begin(), last + 1, 0);

    // Columns inside both the field row and the picture take the fast stretch; the rest
    // (the extra column, or a short field row) reads outside the field or is not drawn.
    const int visible = std::min(static_cast<int>(out.size()), last);
    const int fieldWidth = static_cast<int>(std::min(fieldRow.size(), static_cast<std::size_t>(last + 1)));
    const int fast = std::min(visible, fieldWidth);
    columns<true>(0, fast, depthRow.data(), fieldRow.data(), fieldWidth, out.data());
    columns<false>(fast, visible, depthRow.data(), fieldRow.data(), fieldWidth, out.data());
    columns<false>(visible, last + 1, depthRow.data(), fieldRow.data(), fieldWidth, nullptr);
}

template <bool Inside>
void ColourField::columns(int from, int to, const std::int32_t *depth, const Packed *field, int fieldWidth,
                          Packed *out)
{
    const unsigned last = static_cast<unsigned>(m_scanWidth);
    const std::array<int, 16> offset = m_offset;
    Packed *colours = m_fieldRow.data();
    for (int x = from; x < to; ++x) {
        const int linkOffset = offset[depth[x] & 15];
        // 0 marks a position no link has reached; a black field pixel is read afresh as well.
        // (Selected without a branch: black field pixels make it unpredictable. The position
        // itself is never read again, so it need not be written back.)
        Packed c = colours[x];
        if constexpr (Inside) {
            const Packed own = field[x];
            c = c != 0 ? c : own;
        } else if (c == 0)
            c = x < fieldWidth ? field[x] : kOutside;
        if (Inside || out)
            out[x] = c;
        const unsigned t = static_cast<unsigned>(x + linkOffset);
        if (t <= last)
            colours[t] = c;
    }
}

} // namespace lumivex::engine

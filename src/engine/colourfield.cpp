#include "colourfield.h"

#include "depth.h"

#include <algorithm>

namespace lumivex::engine {

void ColourField::begin(const FieldParams &params, int scanWidth)
{
    m_params = params;
    m_scanWidth = std::clamp(scanWidth, 0, kMaxWidth);
    m_shift = shiftTable(depthFactor(params.rittaido));
}

void ColourField::row(std::span<const std::int32_t> depthRow, std::span<const Packed> fieldRow,
                      std::span<Packed> out)
{
    const int last = m_scanWidth;
    const int k = m_params.kurikaesi;
    const int visible = std::min(static_cast<int>(out.size()), last);
    const int fieldWidth = static_cast<int>(fieldRow.size());
    std::fill_n(m_fieldRow.begin(), last + 1, 0);

    for (int x = 0; x <= last; ++x) {
        const int shift = m_shift[depthRow[x] & 15];
        // 0 marks a position no link has reached; a black field pixel is read afresh as well.
        if (m_fieldRow[x] == 0)
            m_fieldRow[x] = x < fieldWidth ? fieldRow[x] : kOutside;
        if (x < visible)
            out[x] = m_fieldRow[x];
        const int t = x + k - shift;
        if (t >= 0 && t <= last)
            m_fieldRow[t] = m_fieldRow[x];
    }
}

} // namespace lumivex::engine

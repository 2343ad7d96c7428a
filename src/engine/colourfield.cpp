#include "colourfield.h"

#include "depth.h"
#include "linkrows.h"

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

    const int visible = std::min(static_cast<int>(out.size()), last);
    const int fieldWidth = static_cast<int>(std::min(fieldRow.size(), static_cast<std::size_t>(last + 1)));
    const std::array<int, 16> offset = m_offset;
    const std::int32_t *depth = depthRow.data();
    const auto offsetAt = [offset, depth](int x) { return offset[depth[x] & 15]; };
    links::fieldRow(last, visible, fieldWidth, offsetAt, fieldRow.data(), m_fieldRow.data(), out.data());
}

} // namespace lumivex::engine

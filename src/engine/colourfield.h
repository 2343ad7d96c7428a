#pragma once

#include "packedcolour.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::engine {

/// Parameters of a colour-field run (density plays no part).
struct FieldParams
{
    int kurikaesi = 70;  ///< repeat width K in pixels (0..200)
    int rittaido = 20;   ///< depth strength, applied divided by 10 (0..50)
};

/// The row work of the colour-field conversion for one document window.
///
/// A run processes field height + 1 rows over field width + 1 columns and draws a picture of
/// the field's size: the extra column and row lie outside the field and are never drawn.
/// Each position that no link has reached takes the field picture's own pixel; pure black is
/// never carried by a link.
class ColourField
{
public:
    /// Starts or continues a run. scanWidth = the field picture's width, held to
    /// 0..kMaxRunWidth. The field row is sized here, so that no row allocates. The repeat width
    /// and depth strength are held to ±kParameterLimit.
    void begin(const FieldParams &params, int scanWidth);

    /// Processes one row. depthRow holds the levels of columns 0..scanWidth (std::out_of_range
    /// if it is shorter); fieldRow is the field picture's row (columns at or beyond its size
    /// read as outside); out receives the visible columns 0..scanWidth-1 (min(out.size(),
    /// scanWidth) of them are written).
    void row(std::span<const std::int32_t> depthRow, std::span<const Packed> fieldRow,
             std::span<Packed> out);

    /// The last column processed, as given to begin().
    int scanWidth() const { return m_scanWidth; }

private:
    FieldParams m_params;
    int m_scanWidth = 0;
    std::array<int, 16> m_offset{};  ///< link offset K - shift of each depth level
    std::vector<Packed> m_fieldRow = std::vector<Packed>(1);  ///< positions 0..scanWidth
};

} // namespace lumivex::engine

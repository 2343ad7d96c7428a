#pragma once

#include "packedcolour.h"
#include "uniformrandom.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::engine {

/// The sixteen dot colours of the random-dot picture, indexed by dot number.
/// (Ordered differently from DepthPalette.)
extern const std::array<Packed, 16> DotPalette;

/// Parameters of a random-dot run, read afresh at every start and continuation.
struct DotParams
{
    int kurikaesi = 70;  ///< repeat width K in pixels (0..200)
    int rittaido = 20;   ///< depth strength, applied divided by 10 (0..50)
    int mitudo = 30;     ///< dot density in percent (0..100)
    bool mono = true;    ///< black and white dots only ("Mono"); otherwise sixteen colours
};

/// The row work of the random-dot conversion for one document window.
///
/// A run processes the design's rows 0..H-1 over columns 0..W-1 and draws a picture of
/// (W-1) × (H-1): the last column and row are worked but never drawn. The caller may stop after
/// any row and call begin() again to continue at the next one; the shift of the column processed
/// last carries over from row to row and from run to run, as it does for the window's life.
class RandomDot
{
public:
    /// Starts or continues a run with fresh parameters and a fresh seed.
    /// scanWidth is the last column processed: design width - 1, held to 0..kMaxRunWidth. The
    /// dot row is sized here, so that no row allocates. The repeat width and depth strength
    /// are held to ±kParameterLimit.
    void begin(const DotParams &params, int scanWidth, std::uint64_t seed);

    /// Processes one row. depthRow holds the levels of columns 0..scanWidth (GetDepthRow;
    /// std::out_of_range if it is shorter); out receives the packed colours of the visible
    /// columns 0..scanWidth-1 (min(out.size(), scanWidth) of them are written).
    void row(std::span<const std::int32_t> depthRow, std::span<Packed> out);

    /// The shift of the column processed last; 0 before the first row.
    int previousShift() const { return m_previousShift; }
    /// The last column processed, as given to begin().
    int scanWidth() const { return m_scanWidth; }

private:
    DotParams m_params;
    int m_scanWidth = 0;
    int m_previousShift = 0;
    std::array<int, 16> m_offset{};  ///< link offset K - shift of each depth level
    std::uint32_t m_dotThreshold = 0;  ///< draws below it make a dot
    UniformRandom m_random;
    std::vector<std::int32_t> m_dotRow = std::vector<std::int32_t>(1);  ///< positions 0..scanWidth
};

} // namespace lumivex::engine

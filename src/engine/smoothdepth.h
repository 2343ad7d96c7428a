#pragma once

#include "colourfield.h"
#include "linkrows.h"
#include "packedcolour.h"
#include "randomdot.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::engine {

/// Smooth depth: a depth z from 0 (black, the farthest) to kSmoothNear (white, the nearest),
/// read at the full precision of a grey depth map. The separation at z is
/// K - (15 × rittaido / 10) × z / kSmoothNear, the sixteen levels' own geometry: level L lies
/// at z = L × 4369, so that the greys L × 17 of an 8-bit map (z = grey × 257) give exactly the
/// separations of the depth colours.
inline constexpr int kSmoothNear = 65535;
inline constexpr int kSmoothPerLevel = kSmoothNear / 15;  // 4369

/// The depth of an 8-bit grey.
constexpr std::uint16_t smoothDepthOfGrey(int grey) { return static_cast<std::uint16_t>(grey * 257); }

/// The smooth depth of a packed colour: its brightness by ITU-R BT.601
/// (0.299 R + 0.587 G + 0.114 B), taken exactly and rounded; a grey (g, g, g) gives g × 257.
/// A point outside the picture (kOutside) is the farthest, 0.
std::uint16_t smoothDepth(Packed colour);

/// Samples one design row into smooth depths: fills depthRow[0..scanWidth]; columns at or
/// beyond designRow.size() are outside (0). Throws std::out_of_range when depthRow is too short.
void GetSmoothDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::uint16_t> depthRow);

/// Smooth depths turned inside out (near becomes far): z becomes kSmoothNear - z. A depth on one
/// of the sixteen levels stays on one (level L becomes 15 - L, as invertedLevel).
void invertSmoothDepths(std::span<std::uint16_t> depths);
/// GetSmoothDepthRow with the design's depth turned inside out when `invert`: the design's own
/// columns only; columns outside it stay the farthest, 0.
void GetSmoothDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::uint16_t> depthRow,
                       bool invert);

/// Where a row's links start: at the left edge (the classic conversion), or outward from the
/// middle, so that a colour field's distortion spreads to both edges.
enum class SmoothStart { Left, Centre };

/// An oversampling factor as the smooth runs hold it: 1, 2, 4 or 8, other values to the
/// nearest of them (ties to the larger).
int heldOversample(int oversample);

/// The shift of smooth depth z (0..kSmoothNear) at a depth strength, in sub-pixels of a run
/// built at `oversample` (1, 2, 4 or 8) times the width: factor × 15 × oversample × z /
/// kSmoothNear, rounded with ties to even, as the runs shift it. At z = L × kSmoothPerLevel it
/// is exactly the shift of level L (depthShift) times oversample. Other factors are held
/// (heldOversample).
int smoothShift(int rittaido, int oversample, int z);

/// How a smooth run builds its rows: at oversample times the output width (1, 2, 4 or 8;
/// other values are held to the nearest of them), with separations rounded at that resolution.
struct SmoothOptions
{
    int oversample = 4;
    SmoothStart start = SmoothStart::Left;
};

/// The link geometry of a smooth run: every depth's link offset K - shift at the run's
/// resolution, worked out once per run, and a row's offsets looked up from it. Positions are
/// sub-pixels: output column x covers sub-pixels q·x .. q·x + q - 1.
class SmoothLinks
{
public:
    /// The repeat width and depth strength are held as the sixteen-level runs hold them;
    /// scanWidth to 0..kMaxRunWidth.
    void begin(int kurikaesi, int rittaido, const SmoothOptions &options, int scanWidth);
    /// Takes the depths of columns 0..scanWidth for the offsets below (std::out_of_range if
    /// depthRow is shorter); they are read while the row is worked.
    void setRow(std::span<const std::uint16_t> depthRow);

    /// The link offset of a sub-pixel of the row.
    int offsetAt(int subPixel) const { return m_ofDepth[m_depth[subPixel >> m_shiftBits]]; }
    /// The link offset of a depth 0..kSmoothNear. The offsets run monotonically from depth 0
    /// to kSmoothNear, so these two ends hold a run's smallest and largest offset.
    int offsetOfDepth(int z) const { return m_ofDepth[static_cast<std::size_t>(z)]; }
    /// A function object giving the offsets of the sub-pixels from `first` on, counted from 0.
    auto offsetsFrom(int first) const
    {
        return [table = m_ofDepth.data(), depth = m_depth, bits = m_shiftBits, first](int x) {
            return table[depth[(x + first) >> bits]];
        };
    }
    /// A function object giving the offsets of the columns from `first` on, counted from 0.
    auto columnsFrom(int first) const
    {
        return [table = m_ofDepth.data(), depth = m_depth + first](int x) { return table[depth[x]]; };
    }

    int oversample() const { return 1 << m_shiftBits; }
    int shiftBits() const { return m_shiftBits; }
    int scanWidth() const { return m_scanWidth; }
    /// The repeat width in sub-pixels.
    int repeat() const { return m_repeat; }
    /// The last sub-pixel of a row: q × (scanWidth + 1) - 1.
    int lastPosition() const { return m_last; }
    /// The first sub-pixel of the row's own strip: 0 for the left start, the strip of one
    /// repeat width around the middle for the centre start.
    int start() const { return m_start; }

private:
    int m_shiftBits = 0;
    int m_scanWidth = 0;
    int m_repeat = 0;
    int m_last = 0;
    int m_start = 0;
    std::vector<std::int32_t> m_ofDepth;  ///< offset of each depth 0..kSmoothNear
    const std::uint16_t *m_depth = nullptr;  ///< the depths of the row being worked
};

/// The random-dot conversion of a smooth design. Its geometry is RandomDot's: a run processes
/// columns 0..scanWidth and draws columns 0..scanWidth-1. With oversample 1 and the left start,
/// a row whose depths are all multiples of kSmoothPerLevel gives exactly RandomDot's picture for
/// the same levels, parameters and seed.
class SmoothDot
{
public:
    void begin(const DotParams &params, const SmoothOptions &options, int scanWidth, std::uint64_t seed);
    void row(std::span<const std::uint16_t> depthRow, std::span<Packed> out);
    int scanWidth() const { return m_links.scanWidth(); }
    /// The oversampling factor in use (1, 2, 4 or 8).
    int oversample() const { return m_links.oversample(); }

private:
    void reduce(std::span<Packed> out) const;

    DotParams m_params;
    SmoothLinks m_links;
    int m_previousShift = 0;  ///< in sub-pixels of m_previousScale
    int m_previousScale = 1;
    bool m_wholeColumns = false;  ///< every link spans a column and lands within m_dots
    std::uint32_t m_dotThreshold = 0;
    UniformRandom m_random;
    std::vector<links::ByteDot> m_dots = std::vector<links::ByteDot>(1);  ///< sub-pixels 0..last
};

/// The colour-field conversion of a smooth design, with ColourField's geometry: the extra
/// column lies outside the field; with oversample 1 and the left start, depths that are
/// multiples of kSmoothPerLevel give exactly ColourField's picture.
class SmoothField
{
public:
    void begin(const FieldParams &params, const SmoothOptions &options, int scanWidth);
    void row(std::span<const std::uint16_t> depthRow, std::span<const Packed> fieldRow, std::span<Packed> out);
    int scanWidth() const { return m_links.scanWidth(); }
    /// The oversampling factor in use (1, 2, 4 or 8).
    int oversample() const { return m_links.oversample(); }

private:
    SmoothLinks m_links;
    std::vector<Packed> m_colours = std::vector<Packed>(1);  ///< links' colours, sub-pixels 0..last
    std::vector<Packed> m_drawn = std::vector<Packed>(1);    ///< the row's colours, sub-pixels 0..last
    /// A field row sampled at the run's sub-pixels, kept so that a field whose rows repeat down
    /// the page (a tiled one) is sampled once per distinct row.
    struct SampledRow
    {
        std::uint64_t key = 0;
        std::vector<Packed> row;      ///< the field row as given
        std::vector<Packed> samples;  ///< sub-pixels 0..last
    };
    template <int Q>
    const Packed *sampledField(std::span<const Packed> fieldRow);

    std::vector<SampledRow> m_sampledRows;  ///< the first m_sampledCount are this run's
    std::size_t m_sampledCount = 0;
    std::size_t m_sampledBytes = 0;
    bool m_keeping = true;  ///< false once a row found the kept set full: later rows are not keyed
    std::vector<Packed> m_field = std::vector<Packed>(1);  ///< a row sampled when no more are kept
};

} // namespace lumivex::engine

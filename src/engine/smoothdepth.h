#pragma once

#include "colourfield.h"
#include "packedcolour.h"
#include "randomdot.h"

#include <cstdint>
#include <span>

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

/// Where a row's links start: at the left edge (the classic conversion), or outward from the
/// middle, so that a colour field's distortion spreads to both edges.
enum class SmoothStart { Left, Centre };

/// How a smooth run builds its rows: at oversample times the output width (1, 2, 4 or 8;
/// other values are held to the nearest of them), with separations rounded at that resolution.
struct SmoothOptions
{
    int oversample = 4;
    SmoothStart start = SmoothStart::Left;
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
    int scanWidth() const { return m_scanWidth; }

private:
    DotParams m_params;
    SmoothOptions m_options;
    int m_scanWidth = 0;
    RandomDot m_whole;  // placeholder: the terraced conversion until the smooth rows are built
    std::vector<std::int32_t> m_levels;
};

/// The colour-field conversion of a smooth design, with ColourField's geometry: the extra
/// column lies outside the field; with oversample 1 and the left start, depths that are
/// multiples of kSmoothPerLevel give exactly ColourField's picture.
class SmoothField
{
public:
    void begin(const FieldParams &params, const SmoothOptions &options, int scanWidth);
    void row(std::span<const std::uint16_t> depthRow, std::span<const Packed> fieldRow, std::span<Packed> out);
    int scanWidth() const { return m_scanWidth; }

private:
    FieldParams m_params;
    SmoothOptions m_options;
    int m_scanWidth = 0;
    ColourField m_whole;  // placeholder, as above
    std::vector<std::int32_t> m_levels;
};

} // namespace lumivex::engine

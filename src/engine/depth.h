#pragma once

#include "packedcolour.h"

#include <array>
#include <cstdint>
#include <span>

namespace lumivex::engine {

/// The sixteen depth colours, indexed by depth level (0 black = farthest, 15 white = nearest).
extern const std::array<Packed, 16> DepthPalette;

/// Coarsens one colour component: <= 64 -> 0, 65..160 -> 128, 161..207 -> 192, >= 208 -> 255.
int coarsen(int component);

/// The depth level (0..15) of a packed colour: an exact DepthPalette entry maps to its index,
/// any other colour is coarsened per component and then matched to the palette entry whose
/// packed value is nearest (ties go to the lowest level).
///
/// A point outside the picture (kOutside) has no depth: it is level 0, the background plane.
/// Taking its bytes literally would read it as white, the nearest level, and would raise a
/// wall wherever a field picture reaches beyond the design.
int depthLevel(Packed colour);

/// Samples one design row into depth levels: fills depthRow[0..scanWidth]. Columns at or beyond
/// designRow.size() are outside the picture (an empty designRow is a row outside it).
/// Throws std::out_of_range when depthRow has no room for column scanWidth.
void GetDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::int32_t> depthRow);

/// Depth turned inside out (near becomes far), for depth maps drawn the other way round and for
/// crossed eyes: level L becomes 15 - L. The window and the converter both invert with these.
constexpr int invertedLevel(int level) { return 15 - level; }
/// The design colours of a row turned inside out: each becomes the depth colour of the inverted
/// level of its own (depthLevel).
void invertDepthColours(std::span<Packed> row);
/// GetDepthRow with the design's depth turned inside out when `invert`: the design's own columns
/// take the inverted level; columns outside it stay level 0, the background plane.
void GetDepthRow(std::span<const Packed> designRow, int scanWidth, std::span<std::int32_t> depthRow, bool invert);

/// The depth strength as the conversions apply it: rittaido / 10 in single precision.
float depthFactor(int rittaido);

/// The shift of a depth level: factor × level computed in double precision from the single
/// precision factor, rounded to the nearest integer with ties to even.
int depthShift(float factor, int level);

/// The shifts of all sixteen levels for one factor, computed once per run.
std::array<int, 16> shiftTable(float factor);

/// Repeat widths and depth strengths are held to ±kParameterLimit, far beyond the sliders'
/// ranges, so that no position worked out from them can overflow (a hand-edited project file
/// may hold any number).
inline constexpr int kParameterLimit = 1 << 20;
int limitParameter(int value);

/// The link offset K - shift of each depth level, for a repeat width and a depth strength
/// already held to their limits.
std::array<int, 16> linkOffsets(int kurikaesi, int rittaido);

} // namespace lumivex::engine

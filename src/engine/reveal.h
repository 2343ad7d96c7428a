#pragma once

#include "packedimage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::engine {

/// An 8-bit grey picture, row after row.
struct GreyImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::span<const std::uint8_t> row(int y) const
    {
        return {pixels.data() + static_cast<std::size_t>(y) * width, static_cast<std::size_t>(width)};
    }
    std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

/// Why a picture could not be turned back into depth.
enum class RevealProblem {
    None,
    TooSmall,  ///< narrower than kMinRevealWidth, or empty
    NoRepeat,  ///< nothing in it repeats sideways (noise, a photograph, one plain colour)
    NoRepeatAtWidth, ///< nothing repeats between a fifth of the repeat width given and it
};

/// Pictures narrower than this hold no repeat worth finding.
inline constexpr int kMinRevealWidth = 24;

/// The narrowest repeat width the reveal takes: nearer repeats are the texture of a picture.
inline constexpr int kMinRevealRepeat = 8;

/// What the reveal is told. A repeat width of 0 lets it find the width itself (then at most a
/// third of the picture's width); one below kMinRevealRepeat finds nothing.
struct RevealParams
{
    int kurikaesi = 0;
};

/// The depth a stereogram shows.
struct Reveal
{
    RevealProblem problem = RevealProblem::None;
    /// The repeat width given, or the one found: the largest distance at which a good part of
    /// the picture repeats, short of twice the smallest (two repeats one after the other).
    int repeatWidth = 0;
    /// The repeat width stands out in the picture. False when few of the picture's parts
    /// repeat, or, for a width found, when the width itself draws few of them or a wider
    /// distance that was taken for two repeats one after the other draws about as many (the
    /// width may be half the true one, or a stray): the depth may be misread, and the user
    /// should be told.
    bool sure = false;
    /// The distinct repeat distances found in whole pixels, farthest (largest) first.
    std::vector<int> distances;
    /// Continuous depth: the picture holds more than sixteen distances, or repeats between two
    /// pixels (it was built at a finer resolution). Its depth is then grey in proportion to the
    /// distance, to a sixteenth of a pixel where the picture was built finer: the farthest
    /// distance found black, the nearest white.
    bool continuous = false;
    /// Otherwise pixels at distances[i] are drawn in greys[i]: as many greys as distances,
    /// evenly spaced from 0 to 255 (sixteen distances give 17 × level, which a grey depth map
    /// reads back as the same levels). Empty for continuous depth.
    std::vector<std::uint8_t> greys;
    /// Black far, white near.
    GreyImage depth;

    bool ok() const { return problem == RevealProblem::None; }
};

/// Finds, for every pixel, the distance at which the picture repeats to its right, the link
/// that the conversions make from each pixel of the design, and turns the distances back into
/// depth.
///
/// The distance of a pixel is the one at which its neighbourhood (7 × 3 pixels) matches, within
/// a tolerance that the picture's own noise sets, so that JPEG copies and scans are read as
/// well as exact pictures; at a depth edge, the half of the neighbourhood on the pixel's own
/// side. The distances searched lie between a fifth of the repeat width and the repeat width
/// (the farthest surface's): a surface nearer than that is not found. Of several repeats one
/// after the other the first is the distance. A pixel that matches at no
/// distance is seen by one eye only, a surface hidden behind a nearer one to its right; it
/// takes the depth to its left on its row, as do the pixels of the last repeat width of a row,
/// whose partners would lie beyond the picture.
///
/// Rows that show nothing to compare (a guide band above the picture, a plain stripe) or that
/// match hardly anywhere (a caption) are no part of the stereogram: they are left out of the
/// survey (blank rows) and of the distances found, and take the depth of the nearest row below
/// them that is not left out (at the bottom, the nearest above).
Reveal reveal(const PackedImage &stereogram, const RevealParams &params = {});

/// What findRepeat() found.
struct RepeatFound
{
    /// The repeat width in pixels, or 0 when nothing in the picture repeats sideways (noise, a
    /// photograph, one plain colour) or the picture is narrower
    /// than kMinRevealWidth.
    int width = 0;
    /// As Reveal::sure; false when width is 0.
    bool sure = false;

    bool operator==(const RepeatFound &) const = default;
};

/// The repeat width of a stereo picture as reveal() finds it, without working out its depth:
/// only a few dozen rows are compared (a few milliseconds for 1024 × 768 pixels). Widths up to a
/// third of the picture's width are found, as reveal() finds them when not told the width.
RepeatFound findRepeat(const PackedImage &picture);

/// The grey of the index-th of count distances, farthest first: evenly spaced, 0 to 255.
std::uint8_t revealGrey(int index, int count);

} // namespace lumivex::engine

#pragma once

#include "packedimage.h"
#include "reveal.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace lumivex::engine {

/// The left and right views of a depth picture, for those who cannot free-view a stereogram:
/// the textured surface the depth describes, seen by each eye, and the pictures made of the two
/// (anaglyphs, pairs side by side or one above the other).
///
/// The geometry. Every point of the depth picture has a disparity d >= 0 in pixels, the
/// difference between where the two eyes see it: 0 for the farthest depth present, the
/// largest for the nearest. The point at column u of the depth picture (its position as seen
/// from between the eyes) lies at u + d/2 in the left view and at u - d/2 in the right view,
/// so that a nearer point lies further right for the left eye than for the right: the farthest
/// depth lies in the plane of the screen and everything nearer stands out of it, as in a
/// stereogram viewed with the eyes parallel. Rows stay rows (the eyes are level).
///
/// A surface is drawn as a surface, not as separate points: two neighbouring points of one
/// row whose disparities differ by at most kSurfaceStep pixels are joined, and every view
/// pixel whose centre lies between their positions shows the nearer of the two in texture
/// (a surface turned towards one eye is stretched in the other's view, never torn). Where two
/// points land on one pixel the nearer wins (a z-test). Neighbours further apart in depth are a
/// depth edge: the gap between them in one view is the part of the farther surface hidden from
/// the other eye. It is filled from its farther side, with that surface carried on: each pixel
/// takes the texture of the point of the farther surface that lies there, so the hidden part
/// shows the pattern it would have, not one pixel's colour smeared across it.

/// The disparity of every pixel of a picture, in pixels, row after row.
struct DisparityMap
{
    int width = 0;
    int height = 0;
    std::vector<float> values;

    float at(int x, int y) const { return values[static_cast<std::size_t>(y) * width + x]; }
    /// The largest disparity (the nearest point's), 0 for an empty map.
    float range() const;
};

/// Neighbours whose disparities differ by more than this many pixels are a depth edge.
inline constexpr float kSurfaceStep = 1.0f;

/// The smooth depths of a picture (0 far .. kSmoothNear near, row after row), as the depth
/// sampling reads a design: a level L is L × kSmoothPerLevel.
struct DepthImage
{
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> z;
};

/// The disparities a design shows at a depth strength: by default the range its own conversion
/// has, the far separation less the near one, K - shift(far) - (K - shift(near)), where depth z
/// shifts by (rittaido / 10) × 15 × z / kSmoothNear pixels (the sixteen levels by rittaido / 10
/// pixels each); the repeat width cancels. Each point's disparity is its shift less the shift of
/// the farthest depth present. `maxDisparity`, when given, scales the range to it instead.
DisparityMap designDisparity(const DepthImage &depth, int rittaido, std::optional<double> maxDisparity = {});

/// The disparities of a stereogram from its revealed depth: the repeat distance of the
/// farthest depth found less that of each pixel (the separations the picture was made with),
/// or scaled so that the largest is `maxDisparity`. A flat stereogram has disparity 0.
DisparityMap revealedDisparity(const Reveal &reveal, std::optional<double> maxDisparity = {});

/// A neutral texture for a design, which has none of its own: random greys, one a pixel, the
/// same for the same seed. Fine random texture lets the eyes (and a matcher) fuse every part.
PackedImage greyDots(int width, int height, std::uint64_t seed);

/// One eye's view.
struct View
{
    PackedImage picture;
    /// The disparity of the surface each pixel shows (for a hidden part filled in: the farther
    /// surface's).
    std::vector<float> disparity;
    /// The column of the depth picture each pixel shows, or -1 where the view shows a part the
    /// other eye alone would see filled in from the farther side.
    std::vector<std::int32_t> source;
};

struct StereoViews
{
    View left;
    View right;
};

/// Renders both views of `texture` laid on the surface that `disparity` describes. The texture
/// and the disparities have the same size (else std::invalid_argument); so have the views.
StereoViews renderViews(const DisparityMap &disparity, const PackedImage &texture);

/// The frames of a wiggle picture: `views` (at least 2) views from eyes evenly spaced from the
/// left eye to the right one, then back again without repeating either end (ping-pong), so
/// that shown in a loop the surface turns to and fro: two views give left, right; four give
/// the views 0, 1, 2, 3, 2, 1.
std::vector<PackedImage> wiggleFrames(const DisparityMap &disparity, const PackedImage &texture, int views);

/// How long a wiggle picture shows each view, in the window and in the files written.
inline constexpr int kWiggleDelayMs = 120;

/// How the two views are put together into one picture.
enum class ViewKind {
    Anaglyph,    ///< red-cyan, by Dubois's least-squares projection
    HalfColour,  ///< red-cyan: the left view's brightness in red, the right view's green and blue
    Parallel,    ///< side by side, left view on the left: for eyes looking parallel
    Cross,       ///< side by side, left view on the right: for crossed eyes
    AboveBelow,  ///< left view above the right one
};

/// The picture of the two views (of one size): an anaglyph has their size, a side-by-side pair
/// twice their width, an above-below pair twice their height.
PackedImage composeViews(const PackedImage &left, const PackedImage &right, ViewKind kind);

/// One pixel of the red-cyan anaglyph of Dubois's projection.
Packed duboisAnaglyph(Packed left, Packed right);

} // namespace lumivex::engine

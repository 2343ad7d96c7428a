#pragma once

#include "packedcolour.h"

#include <span>

namespace lumivex::engine {

/// Whether a repeat width and a depth strength can give a picture of a design. The nearest
/// depth the design holds is shifted the most; when its shift reaches the repeat width, its
/// links point back at positions already drawn, and the picture shows holes (black in random
/// dot, the bare field in colour field) instead of depth.
struct DepthReach
{
    int shift = 0;             ///< the shift of the nearest depth present, in steps of the run
    int oversample = 1;        ///< steps per pixel: 1 for the sixteen levels, the smooth run's factor
    bool fits = true;          ///< shift < repeat width: the settings give a picture
    int largestRittaido = -1;  ///< the largest strength 0..maxRittaido that fits; -1 when none does
    int smallestKurikaesi = 1; ///< the smallest repeat width that fits the strength given

    /// The shift in pixels (a fraction of one for smooth depth built finer).
    double shiftInPixels() const { return static_cast<double>(shift) / oversample; }
};

/// The reach of the nearest depth level present (0..15) at a repeat width and depth strength,
/// with shifts as the conversions work them out (depthShift).
DepthReach depthReach(int kurikaesi, int rittaido, int nearestLevel, int maxRittaido = 50);

/// The reach of the nearest smooth depth present (0..kSmoothNear) when a smooth run builds its
/// rows at `oversample` times their width (held to 1, 2, 4 or 8 as SmoothOptions holds it):
/// the shift in sub-pixels exactly as the run works it out (smoothShift), which must stay
/// below the repeat width in sub-pixels.
DepthReach smoothDepthReach(int kurikaesi, int rittaido, int nearestDepth, int oversample, int maxRittaido = 50);

/// The nearest (highest) depth level among the pixels; 0 when there are none. Inverted: the
/// nearest once their depth is turned inside out (invertedLevel of the farthest).
int nearestLevel(std::span<const Packed> pixels, bool inverted = false);

/// The nearest smooth depth among the pixels (smoothDepth); 0 when there are none. Inverted:
/// the nearest once their depth is turned inside out (kSmoothNear less the farthest).
int nearestSmoothDepth(std::span<const Packed> pixels, bool inverted = false);

} // namespace lumivex::engine

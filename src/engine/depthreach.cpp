#include "depthreach.h"

#include "depth.h"
#include "smoothdepth.h"

#include <algorithm>

namespace lumivex::engine {

namespace {

// The verdict for a shift that grows with the strength (shiftAt), against a repeat width of
// kurikaesi pixels of `steps` steps each.
template <typename ShiftAt>
DepthReach reachOf(int kurikaesi, int rittaido, int steps, int maxRittaido, ShiftAt shiftAt)
{
    const long long repeat = static_cast<long long>(limitParameter(kurikaesi)) * steps;
    DepthReach reach;
    reach.oversample = steps;
    reach.shift = shiftAt(rittaido);
    reach.fits = reach.shift < repeat;
    // The smallest whole repeat width whose steps pass the shift.
    reach.smallestKurikaesi = std::max(reach.shift / steps + 1, 1);
    // Shifts grow with the strength, so the first that fits from the top is the largest.
    for (int strength = maxRittaido; strength >= 0; --strength) {
        if (shiftAt(strength) < repeat) {
            reach.largestRittaido = strength;
            break;
        }
    }
    return reach;
}

} // namespace

DepthReach depthReach(int kurikaesi, int rittaido, int nearestLevel, int maxRittaido)
{
    return reachOf(kurikaesi, rittaido, 1, maxRittaido, [nearestLevel](int strength) {
        return depthShift(depthFactor(limitParameter(strength)), nearestLevel);
    });
}

DepthReach smoothDepthReach(int kurikaesi, int rittaido, int nearestDepth, int oversample, int maxRittaido)
{
    const int steps = heldOversample(oversample);
    const int z = std::clamp(nearestDepth, 0, kSmoothNear);
    return reachOf(kurikaesi, rittaido, steps, maxRittaido,
                   [steps, z](int strength) { return smoothShift(strength, steps, z); });
}

int nearestLevel(std::span<const Packed> pixels, bool inverted)
{
    if (inverted && !pixels.empty()) {
        int farthest = 15;
        for (const Packed pixel : pixels)
            farthest = std::min(farthest, depthLevel(pixel));
        return invertedLevel(farthest);
    }
    int nearest = 0;
    for (const Packed pixel : pixels) {
        nearest = std::max(nearest, depthLevel(pixel));
        if (nearest == 15)
            break;
    }
    return nearest;
}

int nearestSmoothDepth(std::span<const Packed> pixels, bool inverted)
{
    if (inverted && !pixels.empty()) {
        int farthest = kSmoothNear;
        for (const Packed pixel : pixels)
            farthest = std::min(farthest, static_cast<int>(smoothDepth(pixel)));
        return kSmoothNear - farthest;
    }
    int nearest = 0;
    for (const Packed pixel : pixels) {
        nearest = std::max(nearest, static_cast<int>(smoothDepth(pixel)));
        if (nearest == kSmoothNear)
            break;
    }
    return nearest;
}

} // namespace lumivex::engine

#include "depthreach.h"

#include "depth.h"

#include <algorithm>

namespace lumivex::engine {

DepthReach depthReach(int kurikaesi, int rittaido, int nearestLevel, int maxRittaido)
{
    const auto shiftAt = [nearestLevel](int strength) {
        return depthShift(depthFactor(limitParameter(strength)), nearestLevel);
    };
    DepthReach reach;
    reach.shift = shiftAt(rittaido);
    reach.fits = reach.shift < kurikaesi;
    reach.smallestKurikaesi = std::max(reach.shift + 1, 1);
    // Shifts grow with the strength, so the first that fits from the top is the largest.
    for (int strength = maxRittaido; strength >= 0; --strength) {
        if (shiftAt(strength) < kurikaesi) {
            reach.largestRittaido = strength;
            break;
        }
    }
    return reach;
}

int nearestLevel(std::span<const Packed> pixels)
{
    int nearest = 0;
    for (const Packed pixel : pixels) {
        nearest = std::max(nearest, depthLevel(pixel));
        if (nearest == 15)
            break;
    }
    return nearest;
}

} // namespace lumivex::engine

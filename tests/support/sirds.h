#pragma once

// Stereograms of the classic algorithm (Thimbleby, Inglis and Witten, IEEE Computer, 1994):
// each visible surface point links two pixels symmetric about it, hidden surfaces are removed,
// linked pixels share a colour. Other programs' pictures look like these; the reveal reads them.

#include "engine/packedimage.h"

#include <vector>

namespace sirds {

struct DepthMap  // 0 the far plane .. 1 the nearest
{
    int width = 0, height = 0;
    std::vector<float> z;
};

/// eyes: their separation in pixels; rows built oversample times wider, then averaged down;
/// texture: a tiled random texture instead of random dots. linked, when given, receives the
/// depth of the last link that starts in each pixel, or -1.
lumivex::engine::PackedImage draw(const DepthMap &depth, int eyes, int oversample, bool texture, DepthMap *linked);
lumivex::engine::PackedImage jpegCopy(lumivex::engine::PackedImage picture, int quality);

} // namespace sirds

#pragma once

// Stereograms of the classic algorithm (Thimbleby, Inglis and Witten, IEEE Computer, 1994):
// each visible surface point links two pixels symmetric about it, hidden surfaces are removed,
// linked pixels share a colour. Other programs' pictures look like these.

#include "engine/packedimage.h"

namespace sirds {

/// depth: 0 (far) to 1 (near), row after row; eyes: their separation in pixels; rows built
/// oversample times wider, then averaged; texture: a tiled random texture, not random dots.
/// linked receives the depth of the last link starting in each pixel, or -1.
lumivex::engine::PackedImage draw(int width, const std::vector<float> &depth, int eyes, int oversample, bool texture,
                                  std::vector<float> &linked);
lumivex::engine::PackedImage jpegCopy(lumivex::engine::PackedImage picture, int quality);

} // namespace sirds

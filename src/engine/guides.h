#pragma once

#include "packedimage.h"

#include <span>

namespace lumivex::engine {

/// The guide band above a stereogram: a white band with two round dark dots, centred on the
/// picture and exactly one repeat width apart centre to centre. Looking through the picture
/// until the two dots become three finds the crossing at which the picture shows its depth.
struct GuideBand
{
    int height = 0;   ///< rows of the band
    int radius = 0;   ///< the dots' radius in pixels (a dot is 2 × radius + 1 across)
    int centreY = 0;  ///< the dots' centre row within the band
    int leftX = 0;    ///< the left dot's centre column; the right one's is leftX + kurikaesi
    int rightX = 0;
};

/// The band's colours.
inline constexpr Packed kGuideBackground = pack(255, 255, 255);
inline constexpr Packed kGuideDot = pack(0, 0, 0);

/// The band for a picture of width × height and a repeat width: a twentieth of the picture's
/// height (rounded), at least 16 rows; dots about two fifths of the band's height across, kept
/// apart by at least two pixels; centred, so that leftX + rightX is width - 1 when width - 1 -
/// kurikaesi is even (else width - 2). Dots that reach beyond the picture's sides are cut.
GuideBand guideBand(int width, int height, int kurikaesi);

/// Row y (0 = top) of the band, out.size() pixels wide.
void guideBandRow(const GuideBand &band, int y, std::span<Packed> out);

/// The picture with the band above it.
PackedImage withGuideBand(const PackedImage &picture, int kurikaesi);

} // namespace lumivex::engine

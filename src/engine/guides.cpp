#include "guides.h"

#include <algorithm>
#include <cstring>

namespace lumivex::engine {

namespace {

constexpr int kMinBandHeight = 16;

// Division rounding towards minus infinity: the dots of a repeat wider than the picture lie
// partly outside it on both sides, still centred.
int floorHalf(int value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

} // namespace

GuideBand guideBand(int width, int height, int kurikaesi)
{
    GuideBand band;
    band.height = std::max(kMinBandHeight, (std::max(height, 0) + 10) / 20);
    band.radius = std::max(1, band.height / 5);
    // Two pixels of white between the dots at the least, so that they stay two.
    if (kurikaesi >= 3)
        band.radius = std::min(band.radius, (kurikaesi - 3) / 2);
    band.radius = std::max(band.radius, 0);
    band.centreY = (band.height - 1) / 2;
    band.leftX = floorHalf(width - 1 - kurikaesi);
    band.rightX = band.leftX + kurikaesi;
    return band;
}

void guideBandRow(const GuideBand &band, int y, std::span<Packed> out)
{
    std::fill(out.begin(), out.end(), kGuideBackground);
    const int dy = y - band.centreY;
    const int reach2 = band.radius * band.radius + band.radius - dy * dy;  // within radius + ½
    if (reach2 < 0)
        return;
    int reach = 0;
    while ((reach + 1) * (reach + 1) <= reach2)
        ++reach;
    const int width = static_cast<int>(out.size());
    for (const int centre : {band.leftX, band.rightX}) {
        for (int x = std::max(centre - reach, 0); x <= std::min(centre + reach, width - 1); ++x)
            out[std::size_t(x)] = kGuideDot;
    }
}

PackedImage withGuideBand(const PackedImage &picture, int kurikaesi)
{
    const GuideBand band = guideBand(picture.width, picture.height, kurikaesi);
    PackedImage result(picture.width, band.height + picture.height);
    for (int y = 0; y < band.height; ++y)
        guideBandRow(band, y, result.row(y));
    if (!picture.pixels.empty())
        std::memcpy(result.pixels.data() + std::size_t(band.height) * picture.width, picture.pixels.data(),
                    picture.pixels.size() * sizeof(Packed));
    return result;
}

} // namespace lumivex::engine

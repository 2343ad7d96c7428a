#pragma once

#include "packedimage.h"

#include <vector>

namespace lumivex::engine {

/// How one output position takes its samples from a source row: index, or index and the one
/// after it, the latter weighing weight / kTapOne.
struct Tap
{
    int index = 0;
    int weight = 0;
};
inline constexpr int kTapBits = 12;
inline constexpr int kTapOne = 1 << kTapBits;

/// Where each of `size` output positions takes its samples from `sourceSize` positions over the
/// same length, pixel centres on pixel centres: the nearest one, or the two around it
/// (bilinear, held to the edges). The same size gives every position its own.
std::vector<Tap> resampleTaps(int sourceSize, int size, bool bilinear);

/// Two colours mixed channel by channel, b weighing weight / kTapOne.
Packed mixTap(Packed a, Packed b, int weight);

/// The picture at width × height (each at least 1) by the taps above: nearest, which makes no
/// colour the picture does not hold (a design in the depth colours), or bilinear, channel by
/// channel (a grey depth map, a stereo picture to look at).
PackedImage resample(const PackedImage &source, int width, int height, bool bilinear);

} // namespace lumivex::engine

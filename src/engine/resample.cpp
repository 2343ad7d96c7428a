#include "resample.h"

#include <algorithm>
#include <cmath>

namespace lumivex::engine {

std::vector<Tap> resampleTaps(int sourceSize, int size, bool bilinear)
{
    std::vector<Tap> taps(std::size_t(std::max(size, 0)));
    for (int i = 0; i < size; ++i) {
        Tap &tap = taps[std::size_t(i)];
        if (!bilinear) {
            tap.index = int((2 * std::int64_t(i) + 1) * sourceSize / (2 * std::int64_t(size)));
            continue;
        }
        const double at = std::clamp((i + 0.5) * sourceSize / size - 0.5, 0.0, double(sourceSize - 1));
        tap.index = std::min(int(at), sourceSize - 1);
        tap.weight = tap.index == sourceSize - 1 ? 0 : int(std::lround((at - tap.index) * kTapOne));
        if (tap.weight == kTapOne)
            tap = {tap.index + 1, 0};
    }
    return taps;
}

Packed mixTap(Packed a, Packed b, int weight)
{
    const auto part = [weight](int x, int y) { return (x * (kTapOne - weight) + y * weight + kTapOne / 2) >> kTapBits; };
    return pack(part(redOf(a), redOf(b)), part(greenOf(a), greenOf(b)), part(blueOf(a), blueOf(b)));
}

PackedImage resample(const PackedImage &source, int width, int height, bool bilinear)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    PackedImage result(width, height);
    if (source.width <= 0 || source.height <= 0)
        return result;
    const std::vector<Tap> across = resampleTaps(source.width, width, bilinear);
    const std::vector<Tap> down = resampleTaps(source.height, height, bilinear);
    std::vector<Packed> upper(std::size_t(width), 0);
    std::vector<Packed> lower(std::size_t(width), 0);
    const auto rowAcross = [&](int y, std::vector<Packed> &out) {
        const std::span<const Packed> row = source.row(y);
        for (std::size_t x = 0; x < across.size(); ++x) {
            const Tap tap = across[x];
            const Packed a = row[std::size_t(tap.index)];
            out[x] = tap.weight == 0 ? a : mixTap(a, row[std::size_t(tap.index) + 1], tap.weight);
        }
    };
    int upperRow = -1;
    for (int y = 0; y < height; ++y) {
        const Tap tap = down[std::size_t(y)];
        if (tap.index != upperRow) {
            rowAcross(tap.index, upper);
            upperRow = tap.index;
        }
        const std::span<Packed> out = result.row(y);
        if (tap.weight == 0) {
            std::copy(upper.begin(), upper.end(), out.begin());
            continue;
        }
        rowAcross(tap.index + 1, lower);
        for (std::size_t x = 0; x < out.size(); ++x)
            out[x] = mixTap(upper[x], lower[x], tap.weight);
    }
    return result;
}

} // namespace lumivex::engine

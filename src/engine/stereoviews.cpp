#include "stereoviews.h"

#include "depth.h"
#include "smoothdepth.h"
#include "uniformrandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace lumivex::engine {

namespace {

DisparityMap emptyMap(int width, int height)
{
    DisparityMap map;
    map.width = width;
    map.height = height;
    map.values.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0f);
    return map;
}

// One row of one view. `side` is +1 for the left view (points move right by half their
// disparity), -1 for the right view, and between them for an eye between the two.
void renderRow(const float *disparity, const Packed *texture, int width, double side, Packed *colours, float *depth,
               std::int32_t *source)
{
    std::fill(depth, depth + width, -1.0f);  // disparities are >= 0: -1 is an empty pixel
    std::fill(source, source + width, -1);
    const auto put = [&](int t, float d, int u) {
        if (t >= 0 && t < width && d > depth[t]) {
            depth[t] = d;
            colours[t] = texture[u];
            source[t] = u;
        }
    };
    const auto position = [&](int u) { return u + side * 0.5 * disparity[u]; };
    for (int u = 0; u < width; ++u)
        put(static_cast<int>(std::floor(position(u) + 0.5)), disparity[u], u);
    // Join the neighbours of one surface: every pixel centre between their positions shows the
    // nearer of the two points. Their positions lie at least half a pixel apart in this order,
    // as their disparities differ by at most kSurfaceStep.
    for (int u = 0; u + 1 < width; ++u) {
        const float d0 = disparity[u], d1 = disparity[u + 1];
        if (std::abs(d1 - d0) > kSurfaceStep)
            continue;
        const double p0 = position(u), p1 = position(u + 1);
        for (int t = static_cast<int>(std::ceil(p0)); t < p1; ++t) {
            const double f = (t - p0) / (p1 - p0);
            put(t, static_cast<float>(d0 + f * (d1 - d0)), f < 0.5 ? u : u + 1);
        }
    }
    // The gaps left are parts of a farther surface that the other eye sees past a nearer one's
    // edge (or beyond the picture's border): carry the farther side on, with its own texture.
    for (int a = 0; a < width;) {
        if (depth[a] >= 0) {
            ++a;
            continue;
        }
        int b = a;
        while (b < width && depth[b] < 0)
            ++b;
        float far = 0;
        if (a > 0 && b < width)
            far = std::min(depth[a - 1], depth[b]);
        else if (a > 0)
            far = depth[a - 1];
        else if (b < width)
            far = depth[b];
        for (int t = a; t < b; ++t) {
            const int u = std::clamp(static_cast<int>(std::floor(t - side * 0.5 * far + 0.5)), 0, width - 1);
            depth[t] = far;
            colours[t] = texture[u];
        }
        a = b;
    }
}

View renderView(const DisparityMap &disparity, const PackedImage &texture, double side)
{
    View view;
    view.picture = PackedImage(texture.width, texture.height);
    view.disparity.resize(view.picture.pixels.size());
    view.source.resize(view.picture.pixels.size());
    for (int y = 0; y < texture.height; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * texture.width;
        renderRow(disparity.values.data() + at, texture.pixels.data() + at, texture.width, side,
                  view.picture.pixels.data() + at, view.disparity.data() + at, view.source.data() + at);
    }
    return view;
}

// sRGB's transfer between 8-bit values and linear light.
const std::array<double, 256> &linearOfByte()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t {};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[static_cast<std::size_t>(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

int byteOfLinear(double v)
{
    v = std::clamp(v, 0.0, 1.0);
    const double c = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(c * 255));
}

} // namespace

float DisparityMap::range() const
{
    return values.empty() ? 0.0f : *std::max_element(values.begin(), values.end());
}

DisparityMap designDisparity(const DepthImage &depth, int rittaido, std::optional<double> maxDisparity)
{
    DisparityMap map = emptyMap(depth.width, depth.height);
    if (depth.z.empty())
        return map;
    const auto [low, high] = std::minmax_element(depth.z.begin(), depth.z.end());
    const int far = *low, span = *high - *low;
    // Pixels per unit of smooth depth: the conversion's shift, factor × 15 × z / kSmoothNear.
    const double perUnit = maxDisparity ? (span > 0 ? *maxDisparity / span : 0.0)
                                        : double(depthFactor(limitParameter(rittaido))) * 15 / kSmoothNear;
    for (std::size_t i = 0; i < depth.z.size(); ++i)
        map.values[i] = static_cast<float>((depth.z[i] - far) * perUnit);
    return map;
}

DisparityMap revealedDisparity(const Reveal &reveal, std::optional<double> maxDisparity)
{
    const GreyImage &grey = reveal.depth;
    DisparityMap map = emptyMap(grey.width, grey.height);
    if (reveal.distances.empty())
        return map;
    // The disparity of each grey: the far distance less the distance it stands for. Up to
    // sixteen distances have a grey each; continuous depth is grey in proportion to distance.
    const double far = reveal.distances.front(), near = reveal.distances.back();
    std::array<double, 256> ofGrey {};
    for (int g = 0; g < 256; ++g)
        ofGrey[static_cast<std::size_t>(g)] = (far - near) * g / 255.0;
    if (!reveal.continuous) {
        for (std::size_t i = 0; i < reveal.greys.size() && i < reveal.distances.size(); ++i)
            ofGrey[reveal.greys[i]] = far - reveal.distances[i];
    }
    const double scale = maxDisparity ? (far > near ? *maxDisparity / (far - near) : 0.0) : 1.0;
    for (std::size_t i = 0; i < grey.pixels.size(); ++i)
        map.values[i] = static_cast<float>(ofGrey[grey.pixels[i]] * scale);
    return map;
}

PackedImage greyDots(int width, int height, std::uint64_t seed)
{
    PackedImage dots(width, height);
    UniformRandom random(seed);
    for (Packed &dot : dots.pixels) {
        const int g = static_cast<int>(random.nextBits() >> 16);
        dot = pack(g, g, g);
    }
    return dots;
}

StereoViews renderViews(const DisparityMap &disparity, const PackedImage &texture)
{
    if (disparity.width != texture.width || disparity.height != texture.height
        || disparity.values.size() != texture.pixels.size())
        throw std::invalid_argument("the texture and the disparities differ in size");
    return {renderView(disparity, texture, +1), renderView(disparity, texture, -1)};
}

std::vector<PackedImage> wiggleFrames(const DisparityMap &disparity, const PackedImage &texture, int views)
{
    if (disparity.width != texture.width || disparity.height != texture.height
        || disparity.values.size() != texture.pixels.size())
        throw std::invalid_argument("the texture and the disparities differ in size");
    views = std::max(views, 2);
    std::vector<PackedImage> frames;
    for (int i = 0; i < views; ++i)
        frames.push_back(renderView(disparity, texture, 1 - 2.0 * i / (views - 1)).picture);
    for (int i = views - 2; i > 0; --i)
        frames.push_back(frames[static_cast<std::size_t>(i)]);
    return frames;
}

Packed duboisAnaglyph(Packed left, Packed right)
{
    // E. Dubois, "A projection method to generate anaglyph stereo images", Proc. IEEE ICASSP
    // 2001, vol. 3, pp. 1661-1664: the least-squares projection for red-cyan glasses, the
    // matrices as published on the author's page (red-cyan, in linear light). Rows give the
    // anaglyph's red, green and blue; columns take the view's red, green and blue.
    static constexpr double kLeft[3][3] = {
        {0.437, 0.449, 0.164},
        {-0.062, -0.062, -0.024},
        {-0.048, -0.050, -0.017},
    };
    static constexpr double kRight[3][3] = {
        {-0.011, -0.032, -0.007},
        {0.377, 0.761, 0.009},
        {-0.026, -0.093, 1.234},
    };
    const auto &linear = linearOfByte();
    const double l[3] = {linear[redOf(left)], linear[greenOf(left)], linear[blueOf(left)]};
    const double r[3] = {linear[redOf(right)], linear[greenOf(right)], linear[blueOf(right)]};
    int out[3];
    for (int c = 0; c < 3; ++c)
        out[c] = byteOfLinear(kLeft[c][0] * l[0] + kLeft[c][1] * l[1] + kLeft[c][2] * l[2] + kRight[c][0] * r[0]
                              + kRight[c][1] * r[1] + kRight[c][2] * r[2]);
    return pack(out[0], out[1], out[2]);
}

PackedImage composeViews(const PackedImage &left, const PackedImage &right, ViewKind kind)
{
    if (left.width != right.width || left.height != right.height)
        throw std::invalid_argument("the views differ in size");
    const int w = left.width, h = left.height;
    switch (kind) {
    case ViewKind::Anaglyph:
    case ViewKind::HalfColour: {
        PackedImage out(w, h);
        for (std::size_t i = 0; i < out.pixels.size(); ++i) {
            const Packed l = left.pixels[i], r = right.pixels[i];
            // Half colour: the left view's brightness (ITU-R BT.601) through the red filter, the
            // right view's own green and blue through the cyan one.
            out.pixels[i] = kind == ViewKind::Anaglyph
                ? duboisAnaglyph(l, r)
                : pack(static_cast<int>(std::lround(0.299 * redOf(l) + 0.587 * greenOf(l) + 0.114 * blueOf(l))),
                       greenOf(r), blueOf(r));
        }
        return out;
    }
    case ViewKind::Parallel:
    case ViewKind::Cross: {
        PackedImage out(2 * w, h);
        const PackedImage &first = kind == ViewKind::Parallel ? left : right;
        const PackedImage &second = kind == ViewKind::Parallel ? right : left;
        for (int y = 0; y < h; ++y) {
            std::copy_n(first.pixels.begin() + std::ptrdiff_t(y) * w, w, out.pixels.begin() + std::ptrdiff_t(y) * 2 * w);
            std::copy_n(second.pixels.begin() + std::ptrdiff_t(y) * w, w,
                        out.pixels.begin() + std::ptrdiff_t(y) * 2 * w + w);
        }
        return out;
    }
    case ViewKind::AboveBelow: {
        PackedImage out(w, 2 * h);
        std::copy(left.pixels.begin(), left.pixels.end(), out.pixels.begin());
        std::copy(right.pixels.begin(), right.pixels.end(), out.pixels.begin() + std::ptrdiff_t(left.pixels.size()));
        return out;
    }
    }
    return {};
}

} // namespace lumivex::engine

#include "reveal.h"

#include "revealparts.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumivex::engine {

namespace {

using revealing::RowMatcher;

// A distance is one of the picture's depths when at least this share of the pixels (1 in
// kLevelShare) has it in runs of kMinRun or more; fewer are strays at depth edges.
constexpr int kLevelShare = 500;
constexpr int kMinLevelPixels = 8;
constexpr std::size_t kMinRun = 4;

// A picture holds at most this many distinct depths (our sixteen levels) to be drawn one grey
// per depth; more are continuous depth.
constexpr int kMaxLevels = 16;
// A stepped picture's runs lie at up to 26 distances (strays at edges, JPEG copies); a smooth
// one's at far more.
constexpr int kScatteredLevels = 4 * kMaxLevels;

// The mean distance, in sixteenths of a pixel, of the refined repeats from whole pixels above
// which a picture was built finer than its pixels: repeats spread evenly between two pixels
// give 4, whole-pixel repeats 0 to 1.5 (noise and JPEG moving the costs a little).
constexpr double kFinerOffset = 2.5;

// Every kSampleRows-th row is refined to tell; the others only when it was built finer. While
// the rows sampled so far say so, each row is refined as soon as it is matched, which reuses
// the match's costs; the rest once all rows are matched.
constexpr int kSampleRows = 8;

// Unmatched stretches between distances nearer than this (whole pixels) are bridged, and those
// wider by this many pixels than their distances differ.
constexpr int kBridge = 4;
constexpr int kSteepGap = 4;

// Counts the pixels of each distance on a row. Only runs of a few pixels count: at depth edges
// and in noise single pixels stray to a distance beside their surface's.
void countRuns(std::span<const std::int16_t> row, int lo, std::vector<long long> &counts)
{
    std::size_t start = 0;
    const auto ends = [&](std::size_t x) {
        if (x - start >= kMinRun && row[start] != RowMatcher::kNoMatch)
            counts[std::size_t(row[start] - lo)] += static_cast<long long>(x - start);
        start = x;
    };
    std::size_t x = 1;
#if defined(__SSE2__)
    // The ends of runs eight pixels at a time: where a pixel differs from the one before it.
    for (; x + 8 <= row.size(); x += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row.data() + x));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row.data() + x - 1));
        for (unsigned bits = ~unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(here, before))) & 0x5555u; bits; bits &= bits - 1)
            ends(x + std::size_t(__builtin_ctz(bits)) / 2);
    }
#endif
    for (; x < row.size(); ++x) {
        if (row[x] != row[x - 1])
            ends(x);
    }
    ends(row.size());
}

// Whether a row of distances repeats: a tenth of the pixels that have partners in the row
// match somewhere. (A stereogram's own rows match nearly everywhere; hidden surfaces and
// depth edges take a few pixels.)
bool repeats(std::span<const std::int16_t> row, int hi)
{
    const std::size_t searched = row.size() > std::size_t(hi) ? row.size() - std::size_t(hi) : 0;
    std::size_t unmatched = 0, x = 0;
#if defined(__SSE2__)
    // Eight counts at once, each of at most 2048 (a row holds at most 16384 pixels).
    __m128i counts = _mm_setzero_si128();
    for (; x + 8 <= searched; x += 8) {
        const __m128i at = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row.data() + x));
        counts = _mm_sub_epi16(counts, _mm_cmpeq_epi16(at, _mm_set1_epi16(RowMatcher::kNoMatch)));
    }
    const __m128i pairs = _mm_madd_epi16(counts, _mm_set1_epi16(1));
    alignas(16) std::int32_t sums[4];
    _mm_store_si128(reinterpret_cast<__m128i *>(sums), pairs);
    unmatched = std::size_t(sums[0]) + std::size_t(sums[1]) + std::size_t(sums[2]) + std::size_t(sums[3]);
#endif
    for (; x < searched; ++x)
        unmatched += row[x] == RowMatcher::kNoMatch;
    return (searched - unmatched) * 10 >= searched;
}

// The distances that are depths of the picture, farthest first.
std::vector<int> chooseLevels(const std::vector<long long> &counts, int lo)
{
    const long long total = std::accumulate(counts.begin(), counts.end(), 0LL);
    const long long least = std::max<long long>(kMinLevelPixels, total / kLevelShare);
    std::vector<int> levels;
    for (int i = int(counts.size()) - 1; i >= 0; --i) {
        if (counts[std::size_t(i)] >= least)
            levels.push_back(lo + i);
    }
    return levels;
}

// The level index of every distance of [lo, hi]: its own, a level's beside it (noise moves a
// match by a pixel), or none.
std::vector<int> levelOfDistance(const std::vector<int> &levels, const std::vector<long long> &counts, int lo)
{
    std::vector<int> index(counts.size(), -1);
    for (std::size_t i = 0; i < levels.size(); ++i)
        index[std::size_t(levels[i] - lo)] = int(i);
    std::vector<int> result = index;
    for (int i = 0; i < int(index.size()); ++i) {
        if (index[i] >= 0)
            continue;
        const int below = i > 0 ? index[i - 1] : -1;
        const int above = i + 1 < int(index.size()) ? index[i + 1] : -1;
        if (below >= 0 && above >= 0)
            result[i] = counts[i - 1] >= counts[i + 1] ? below : above;
        else
            result[i] = std::max(below, above);
    }
    return result;
}

// Where depth changes smoothly, a repeat built from whole pixels holds only pixel by pixel, and
// some windows match at no distance. A stretch without a match between two distances less than
// kBridge apart lies on one surface: it takes the distances between them. So does a stretch
// wider by kSteepGap than the two distances differ: a surface hidden from one eye behind a
// nearer one is as wide as their distances differ, but on a steep surface (a dome's rim) the
// windows match nowhere, across the distance changing by less than a pixel a pixel. (Otherwise
// the stretch is a hidden surface and takes the distance to its left.) Distances in 1 / sub of
// a pixel.
void bridgeGaps(std::span<std::int16_t> row, int sub)
{
    const int width = static_cast<int>(row.size());
    constexpr std::int16_t none = RowMatcher::kNoMatch;
    for (int x = 0; x < width; ++x) {
#if defined(__SSE2__)
        // Unmatched pixels are few: looked for eight at a time.
        for (; x + 8 <= width; x += 8) {
            const __m128i at = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row.data() + x));
            if (const unsigned bits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(at, _mm_set1_epi16(none))))) {
                x += __builtin_ctz(bits) / 2;
                break;
            }
        }
#endif
        if (x >= width || row[std::size_t(x)] != none)
            continue;
        // A stretch without a distance from x to end, between last and end.
        const int last = x - 1;
        int end = x;
        while (end < width && row[std::size_t(end)] == none)
            ++end;
        if (last >= 0 && end < width) {
            const int a = row[std::size_t(last)], b = row[std::size_t(end)];
            const bool steep = (end - last - 1 - kSteepGap) * sub >= std::abs(a - b);
            if (std::abs(a - b) < kBridge * sub || steep) {
                for (int i = last + 1; i < end; ++i)
                    row[std::size_t(i)] = static_cast<std::int16_t>(a + (b - a) * (i - last) / (end - last));
            }
        }
        x = end;
    }
}

// Turns a row of distances (in steps of greyOf, from base) into greys. A pixel with no
// distance of its own takes the grey to its left on its row (a hidden surface lies behind a
// nearer one that begins to its right); before the first pixel with a distance, the grey above
// it (the first row: the first grey to its right). False when no pixel of the row has a
// distance.
bool greyRow(std::span<const std::int16_t> distances, int base, const std::vector<std::int16_t> &greyOf,
             std::span<const std::uint8_t> above, std::span<std::uint8_t> out)
{
    const std::size_t width = distances.size();
    const auto greyAt = [&](std::size_t x) {
        const std::int16_t d = distances[x];
        return d == RowMatcher::kNoMatch ? -1 : greyOf[std::size_t(d - base)];
    };
    std::size_t first = 0;
    int grey = -1;
    for (; first < width && grey < 0; ++first)
        grey = greyAt(first);
    if (grey < 0)
        return false;
    if (above.empty())
        std::fill_n(out.begin(), first, std::uint8_t(grey));
    else
        std::copy_n(above.begin(), first - 1, out.begin()), out[first - 1] = std::uint8_t(grey);
    for (std::size_t x = first; x < width; ++x) {
        const int g = greyAt(x);
        if (g >= 0)
            grey = g;
        out[x] = std::uint8_t(grey);
    }
    return true;
}

} // namespace

std::uint8_t revealGrey(int index, int count)
{
    if (count <= 1)
        return 0;
    return static_cast<std::uint8_t>((255 * index + (count - 1) / 2) / (count - 1));
}

RepeatFound findRepeat(const PackedImage &picture)
{
    if (picture.width < kMinRevealWidth || picture.height < 1)
        return {};
    const revealing::Plane plane = revealing::brightness(picture);
    const revealing::Survey survey = revealing::survey(plane, 0, revealing::blankRows(plane));
    return survey.found ? RepeatFound{survey.hi, survey.sure} : RepeatFound{};
}

Reveal reveal(const PackedImage &stereogram, const RevealParams &params)
{
    Reveal result;
    const int width = stereogram.width, height = stereogram.height;
    if (width < kMinRevealWidth || height < 1) {
        result.problem = RevealProblem::TooSmall;
        return result;
    }
    const int given = std::max(params.kurikaesi, 0);
    const revealing::Plane plane = revealing::brightness(stereogram);
    // Rows that show nothing to compare (a guide band), or that match nowhere, are left out of
    // the survey, the depths found and the depth.
    std::vector<bool> leftOut = revealing::blankRows(plane);
    const revealing::Survey survey = revealing::survey(plane, given, leftOut);
    if (!survey.found) {
        result.problem = given > 0 ? RevealProblem::NoRepeatAtWidth : RevealProblem::NoRepeat;
        return result;
    }
    result.repeatWidth = survey.hi;
    result.sure = survey.sure;

    // Each pixel's whole distance, and refined to sixteenths of a pixel. In sixteenths a
    // distance fits 16 bits up to 2047 pixels: a picture that repeats wider (one at print
    // resolution) is read in whole pixels, which give it more distinct depths than there are
    // greys.
    constexpr int kSub = RowMatcher::kSub;
    const int sub = (survey.hi + 2) * kSub > INT16_MAX ? 1 : kSub;
    std::vector<std::int16_t> distances(stereogram.pixels.size()), fine(distances.size());
    RowMatcher matcher(plane, survey.lo, survey.hi, survey.tolerance, survey.spread);
    std::vector<long long> counts(std::size_t(survey.hi - survey.lo + 1), 0);
    std::vector<bool> refined(std::size_t(height), false);
    for (int y = 0; y < height; ++y) {
        const std::span<std::int16_t> row(distances.data() + std::size_t(y) * width, std::size_t(width));
        const std::span<const std::int16_t> above =
            y > 0 ? std::span<const std::int16_t>(row.data() - width, std::size_t(width)) : std::span<const std::int16_t>{};
        if (leftOut[std::size_t(y)]) {
            std::fill(row.begin(), row.end(), RowMatcher::kNoMatch);
            continue;
        }
        const bool sample = y % kSampleRows == 0;
        const bool refining = sub == kSub && (sample || matcher.meanOffset() >= kFinerOffset);
        matcher.match(y, above, row, refining);
        if (refining) {
            matcher.refine(y, row, {fine.data() + std::size_t(y) * width, std::size_t(width)}, sample);
            refined[std::size_t(y)] = true;
        }
        // A row that matches hardly anywhere does not repeat (a caption, a stripe of another
        // picture): the few matches it has are chance.
        if (!repeats(row, survey.hi)) {
            leftOut[std::size_t(y)] = true;
            std::fill(row.begin(), row.end(), RowMatcher::kNoMatch);
            continue;
        }
        countRuns(row, survey.lo, counts);
    }
    result.distances = chooseLevels(counts, survey.lo);
    if (result.distances.empty()) {
        result.problem = given > 0 ? RevealProblem::NoRepeatAtWidth : RevealProblem::NoRepeat;
        return result;
    }
    // The grey of every distance from half a pixel below lo to a pixel and a half beyond hi.
    const int count = int(result.distances.size());
    const int base = survey.lo * sub - sub / 2;
    std::vector<std::int16_t> greyOf(std::size_t(survey.hi - survey.lo + 2) * sub, -1);
    const bool finer = sub == kSub && matcher.meanOffset() >= kFinerOffset;
    const int far = result.distances.front() * sub, near = result.distances.back() * sub;
    // Smooth depth whose windows match only here and there (mono dots built finer, over a
    // wide repeat) leaves few distances with a share of the pixels, but runs at a great many.
    const auto held = std::count_if(counts.begin(), counts.end(), [](long long c) { return c > 0; });
    result.continuous = far > near && (finer || count > kMaxLevels || held > kScatteredLevels);
    for (int y = 0; finer && result.continuous && y < height; ++y) {
        if (!refined[std::size_t(y)] && !leftOut[std::size_t(y)])
            matcher.refine(y, {distances.data() + std::size_t(y) * width, std::size_t(width)},
                           {fine.data() + std::size_t(y) * width, std::size_t(width)}, false);
    }
    if (result.continuous) {
        // Grey in proportion to the distance, the farthest found black, the nearest white; a
        // picture built from whole pixels keeps its whole distances (refining them would only
        // add noise).
        for (int i = 0; i < int(greyOf.size()); ++i) {
            const int d = base + i;
            greyOf[std::size_t(i)] = std::int16_t(std::clamp((255 * (far - d) + (far - near) / 2) / (far - near), 0, 255));
        }
    } else {
        for (int i = 0; i < count; ++i)
            result.greys.push_back(revealGrey(i, count));
        const std::vector<int> levelOf = levelOfDistance(result.distances, counts, survey.lo);
        for (int i = 0; i < int(greyOf.size()); ++i) {
            const int level = i / sub < int(levelOf.size()) ? levelOf[std::size_t(i / sub)] : -1;
            greyOf[std::size_t(i)] = level < 0 ? -1 : result.greys[std::size_t(level)];
        }
    }
    GreyImage &depth = result.depth;
    depth.width = width;
    depth.height = height;
    depth.pixels.resize(distances.size());
    // A row without a single match takes the row above, at the top the first row below that
    // has a match. A row left out takes the nearest row below that is not (a guide band lies
    // above the picture), at the bottom the nearest above.
    int firstResolved = -1, lastKept = -1;
    std::vector<std::int16_t> values(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const std::size_t start = std::size_t(y) * width;
        if (leftOut[std::size_t(y)])
            continue;
        // The refined row is used where it is (no pixel reads it again), the whole one scaled.
        std::span<std::int16_t> row(values);
        if (finer && result.continuous) {
            row = {fine.data() + start, std::size_t(width)};
        } else {
            for (std::size_t x = 0; x < values.size(); ++x) {
                const std::int16_t d = distances[start + x];
                values[x] = d == RowMatcher::kNoMatch ? d : std::int16_t(d * sub);
            }
        }
        if (result.continuous)
            bridgeGaps(row, sub);
        const std::span<std::uint8_t> out(depth.pixels.data() + start, std::size_t(width));
        const std::span<const std::uint8_t> above =
            firstResolved >= 0 ? std::span<const std::uint8_t>(depth.pixels.data() + std::size_t(lastKept) * width, std::size_t(width))
                               : std::span<const std::uint8_t>{};
        if (greyRow(row, base, greyOf, above, out)) {
            if (firstResolved < 0)
                firstResolved = y;
            lastKept = y;
        } else if (firstResolved >= 0) {
            std::copy_n(above.data(), width, out.data());
            lastKept = y;
        }
    }
    const auto copyRow = [&](int from, int to) {
        std::copy_n(depth.pixels.data() + std::size_t(from) * width, width, depth.pixels.data() + std::size_t(to) * width);
    };
    for (int y = 0; y < firstResolved; ++y) {
        if (!leftOut[std::size_t(y)])
            copyRow(firstResolved, y);
    }
    std::vector<int> from(std::size_t(height), -1);  // the row a row left out takes
    for (int y = height - 1, below = -1; y >= 0; --y) {
        if (!leftOut[std::size_t(y)])
            below = y;
        from[std::size_t(y)] = below;
    }
    for (int y = 0, kept = -1; y < height; ++y) {
        if (!leftOut[std::size_t(y)])
            kept = y;
        else if (from[std::size_t(y)] < 0)
            from[std::size_t(y)] = kept;
    }
    for (int y = 0; y < height; ++y) {
        if (leftOut[std::size_t(y)] && from[std::size_t(y)] >= 0)
            copyRow(from[std::size_t(y)], y);
    }
    return result;
}

} // namespace lumivex::engine

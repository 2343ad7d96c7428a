#include "reveal.h"

#include "revealparts.h"

#include <algorithm>
#include <numeric>

namespace lumivex::engine {

namespace {

using revealing::RowMatcher;

// A distance is one of the picture's depths when at least this share of the pixels (1 in
// kLevelShare) has it in runs of kMinRun or more; fewer are strays at depth edges.
constexpr int kLevelShare = 500;
constexpr int kMinLevelPixels = 8;
constexpr std::size_t kMinRun = 4;

// Counts the pixels of each distance on a row. Only runs of a few pixels count: at depth edges
// and in noise single pixels stray to a distance beside their surface's.
void countRuns(std::span<const std::int16_t> row, int lo, std::vector<long long> &counts)
{
    std::size_t start = 0;
    for (std::size_t x = 1; x <= row.size(); ++x) {
        if (x < row.size() && row[x] == row[start])
            continue;
        if (x - start >= kMinRun && row[start] != RowMatcher::kNoMatch)
            counts[std::size_t(row[start] - lo)] += static_cast<long long>(x - start);
        start = x;
    }
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

// Turns a row of distances into greys. A pixel with no distance of its own takes the grey to
// its left on its row (a hidden surface lies behind a nearer one that begins to its right);
// before the first pixel with a distance, the grey above it (the first row: the first grey to
// its right). False when no pixel of the row has a distance.
bool greyRow(std::span<const std::int16_t> distances, int lo, const std::vector<int> &levelOf,
             const std::vector<std::uint8_t> &greys, std::span<const std::uint8_t> above,
             std::span<std::uint8_t> out)
{
    const std::size_t width = distances.size();
    std::size_t first = 0;
    int grey = -1;
    for (; first < width && grey < 0; ++first) {
        const std::int16_t d = distances[first];
        const int level = d == RowMatcher::kNoMatch ? -1 : levelOf[std::size_t(d - lo)];
        if (level >= 0)
            grey = greys[std::size_t(level)];
    }
    if (grey < 0)
        return false;
    if (above.empty())
        std::fill_n(out.begin(), first, std::uint8_t(grey));
    else
        std::copy_n(above.begin(), first - 1, out.begin()), out[first - 1] = std::uint8_t(grey);
    for (std::size_t x = first; x < width; ++x) {
        const std::int16_t d = distances[x];
        const int level = d == RowMatcher::kNoMatch ? -1 : levelOf[std::size_t(d - lo)];
        if (level >= 0)
            grey = greys[std::size_t(level)];
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
    const revealing::Survey survey = revealing::survey(plane, given);
    if (!survey.found) {
        result.problem = given > 0 ? RevealProblem::NoRepeatAtWidth : RevealProblem::NoRepeat;
        return result;
    }
    result.repeatWidth = survey.hi;

    std::vector<std::int16_t> distances(stereogram.pixels.size());
    RowMatcher matcher(plane, survey.lo, survey.hi, survey.tolerance);
    std::vector<long long> counts(std::size_t(survey.hi - survey.lo + 1), 0);
    for (int y = 0; y < height; ++y) {
        const std::span<std::int16_t> row(distances.data() + std::size_t(y) * width, std::size_t(width));
        const std::span<const std::int16_t> above =
            y > 0 ? std::span<const std::int16_t>(row.data() - width, std::size_t(width)) : std::span<const std::int16_t>{};
        matcher.match(y, above, row);
        countRuns(row, survey.lo, counts);
    }
    result.distances = chooseLevels(counts, survey.lo);
    if (result.distances.empty()) {
        result.problem = given > 0 ? RevealProblem::NoRepeatAtWidth : RevealProblem::NoRepeat;
        return result;
    }
    const int count = int(result.distances.size());
    for (int i = 0; i < count; ++i)
        result.greys.push_back(revealGrey(i, count));
    const std::vector<int> levelOf = levelOfDistance(result.distances, counts, survey.lo);
    GreyImage &depth = result.depth;
    depth.width = width;
    depth.height = height;
    depth.pixels.resize(distances.size());
    // A row without a single match (a plain stripe) takes the row above, at the top the first
    // row below that has a match.
    int firstResolved = -1;
    for (int y = 0; y < height; ++y) {
        const std::size_t start = std::size_t(y) * width;
        const std::span<std::uint8_t> out(depth.pixels.data() + start, std::size_t(width));
        const std::span<const std::uint8_t> above =
            firstResolved >= 0 ? std::span<const std::uint8_t>(out.data() - width, std::size_t(width)) : std::span<const std::uint8_t>{};
        if (greyRow({distances.data() + start, std::size_t(width)}, survey.lo, levelOf, result.greys, above, out)) {
            if (firstResolved < 0)
                firstResolved = y;
        } else if (firstResolved >= 0) {
            std::copy_n(out.data() - width, width, out.data());
        }
    }
    for (int y = 0; y < firstResolved; ++y)
        std::copy_n(depth.pixels.data() + std::size_t(firstResolved) * width, width,
                    depth.pixels.data() + std::size_t(y) * width);
    return result;
}

} // namespace lumivex::engine

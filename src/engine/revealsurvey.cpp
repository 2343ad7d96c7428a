#include "revealparts.h"

#include "reveal.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumivex::engine::revealing {

namespace {

constexpr int kWindow = 16;      // pixels of a survey window
constexpr int kSampleRows = 24;  // rows surveyed
constexpr int kMinDistance = 6;  // nearer repeats are texture, not depth

// A window whose pixels differ from their partners by less than this on average, at every
// distance, is plain: it tells nothing about where the picture repeats.
constexpr int kPlain = 2 * kWindow;

// A row whose windows are plain but for this share (in percent) or less is blank: a guide band
// (white but for two dots), a plain stripe.
constexpr int kBlankShare = 85;

// A peak of votes stands out from the distances within kPeakReach of it, and has kMinPeak
// votes at least.
constexpr int kPeakReach = 8;
constexpr int kMinPeak = 4;
constexpr int kBandReach = 2;

// The median cost, in hundredths of a window's mean cost, at a k-th of the distance that the
// windows voted for, below which they voted for a multiple of their repeat.
constexpr int kFoldRatio = 65;

// The sum of absolute differences of two windows: the survey's inner loop.
int sad(const std::uint8_t *a, const std::uint8_t *b)
{
#if defined(__SSE2__)
    static_assert(kWindow == 16);
    const __m128i sums = _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a)),
                                      _mm_loadu_si128(reinterpret_cast<const __m128i *>(b)));
    return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
#else
    int sum = 0;
    for (int i = 0; i < kWindow; ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum;
#endif
}

// The fractions k = 2 to 5 of a distance that fold() looks at.
constexpr int kMaxFold = 5;

struct Vote
{
    int distance;
    int cost;
    // The window, for fold(): its row, its first column and its mean cost over all distances.
    const std::uint8_t *row;
    int x0;
    int mean;
};

// One window's costs at every distance of the range (INT_MAX where its partner lies outside
// the row). Its partners lie all to its right, or all to its left near the row's end, so that
// the costs of different distances compare like with like.
void windowCosts(const std::uint8_t *row, int width, int x0, int lo, int hi, std::vector<int> &costs)
{
    const bool right = x0 + kWindow + hi <= width || x0 < hi;
    for (int d = lo; d <= hi; ++d) {
        const int partner = right ? x0 + d : x0 - d;
        costs[d - lo] = partner >= 0 && partner + kWindow <= width ? sad(row + x0, row + partner) : INT_MAX;
    }
}

// The window at x0 against its partner at distance d on the side windowCosts() compares
// (INT_MAX where that lies outside the row).
int wholeCost(const std::uint8_t *row, int width, int x0, int hi, int d)
{
    const bool right = x0 + kWindow + hi <= width || x0 < hi;
    const int partner = right ? x0 + d : x0 - d;
    return partner >= 0 && partner + kWindow <= width ? sad(row + x0, row + partner) : INT_MAX;
}

// The window at x0 against its partner at the fractional distance at / k, interpolated between
// the two pixels around it, on the side windowCosts() compares.
int fractionalCost(const std::uint8_t *row, int width, int x0, int hi, int at, int k)
{
    const bool right = x0 + kWindow + hi <= width || x0 < hi;
    const int whole = at / k, part = at % k;  // the partner lies part / k of a pixel beyond whole
    const int first = right ? x0 + whole : x0 - whole - (part ? 1 : 0);
    if (first < 0 || first + kWindow + 1 > width)
        return INT_MAX;
    // On the left the partner lies part / k of a pixel before x0 - whole.
    const int weight = right ? part : (part ? k - part : 0);
    int sum = 0;
#if defined(__SSE2__)
    // Eight pixels at a time in 16 bits: k × 255 fits.
    static_assert(kWindow == 16);
    const __m128i zero = _mm_setzero_si128(), kk = _mm_set1_epi16(std::int16_t(k)),
                  near = _mm_set1_epi16(std::int16_t(k - weight)), far = _mm_set1_epi16(std::int16_t(weight));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x0)),
                  b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + first)),
                  c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + first + 1));
    const auto half = [&](__m128i at, __m128i before, __m128i after) {
        const __m128i difference = _mm_sub_epi16(_mm_mullo_epi16(at, kk),
                                                 _mm_add_epi16(_mm_mullo_epi16(before, near), _mm_mullo_epi16(after, far)));
        return _mm_madd_epi16(_mm_max_epi16(difference, _mm_sub_epi16(zero, difference)), _mm_set1_epi16(1));
    };
    __m128i total = _mm_add_epi32(half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero)),
                                  half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero)));
    total = _mm_add_epi32(total, _mm_srli_si128(total, 8));
    total = _mm_add_epi32(total, _mm_srli_si128(total, 4));
    sum = _mm_cvtsi128_si32(total);
#else
    for (int i = 0; i < kWindow; ++i)
        sum += std::abs(k * int(row[x0 + i]) - row[first + i] * (k - weight) - row[first + i + 1] * weight);
#endif
    return (sum + k / 2) / k;
}

// The window's clearly best distance; 0 when none stands out, -1 when the window is plain or
// lies too near the row's ends to be compared at most distances.
int bestDistance(const std::vector<int> &costs, int lo, int hi, int &best, long long &meanCost)
{
    best = INT_MAX;
    int at = 0;
    long long sum = 0;
    int valid = 0;
    for (int d = lo; d <= hi; ++d) {
        const int c = costs[d - lo];
        if (c == INT_MAX)
            continue;
        sum += c;
        ++valid;
        if (c < best) {
            best = c;
            at = d;
        }
    }
    if (valid * 2 < hi - lo + 1)
        return -1;
    const long long mean = sum / valid;
    meanCost = mean;
    if (mean < kPlain)
        return -1;
    // A match stands far below what the window costs at an arbitrary distance.
    if (best * 20 > mean * 7)
        return 0;
    // The same content two repeats further on (at twice the distance, or at the sum of two
    // surfaces' distances) matches as well as the first repeat, in a noisy picture by chance
    // even a little better: the first is the distance.
    const int slack = best + best / 3 + 3 * kWindow;
    for (int e = lo; e * 3 <= at * 2; ++e) {
        if (costs[e - lo] <= slack)
            return e;
    }
    return at;
}

// The distances that drew clearly more votes than the distances around them: with noise,
// votes fall thinly and evenly; a surface's repeat draws a sharp peak of its own.
std::vector<bool> findPeaks(const std::vector<int> &votes)
{
    const int n = static_cast<int>(votes.size());
    std::vector<bool> peaks(votes.size(), false);
    std::vector<int> around;
    for (int i = 0; i < n; ++i) {
        around.clear();
        for (int j = std::max(0, i - kPeakReach); j <= std::min(n - 1, i + kPeakReach); ++j) {
            if (std::abs(j - i) > 1)
                around.push_back(votes[std::size_t(j)]);
        }
        int base = 0;
        if (!around.empty()) {
            std::nth_element(around.begin(), around.begin() + around.size() / 2, around.end());
            base = around[around.size() / 2];
        }
        const int v = votes[std::size_t(i)];
        peaks[std::size_t(i)] = v >= kMinPeak && v >= base + 4 * std::sqrt(double(base + 1));
    }
    return peaks;
}

// The distances in a band of votes: the votes within kBandReach of each distance together stand
// far above their typical sum over the range.
std::vector<bool> findBand(const std::vector<int> &votes)
{
    const int n = static_cast<int>(votes.size());
    std::vector<int> sums(votes.size(), 0);
    for (int i = 0; i < n; ++i) {
        for (int j = std::max(0, i - kBandReach); j <= std::min(n - 1, i + kBandReach); ++j)
            sums[std::size_t(i)] += votes[std::size_t(j)];
    }
    // Typical: a quarter of the range draws fewer; a smooth surface may hold half of a range
    // given, or more, where noise spreads its votes over all of it.
    std::vector<int> sorted = sums;
    std::nth_element(sorted.begin(), sorted.begin() + n / 4, sorted.end());
    const int base = sorted[std::size_t(n / 4)];
    std::vector<bool> band(votes.size(), false);
    // A distance of the band draws a fair share of the votes around it itself: beside a sharp
    // peak, strays at depth edges do not.
    for (int i = 0; i < n; ++i) {
        const int v = votes[std::size_t(i)], sum = sums[std::size_t(i)];
        band[std::size_t(i)] = v >= 2 && v * 4 * (2 * kBandReach + 1) >= sum
            && sum >= 4 * kMinPeak + base + 4 * std::sqrt(double(base + 1));
    }
    return band;
}

int quantile(std::vector<int> &values, int percent);

// A picture built finer than its pixels repeats between two of them: there no whole distance
// matches well, but two or more repeats on the repeat may fall on a whole pixel and match far
// better, so that the windows of a surface vote for a multiple of its distance. Where the
// windows that voted for a distance match, on the whole, at a k-th of it (interpolated between
// two pixels: a fifth to two thirds of the mean difference of a window at every distance, three
// quarters and more at a distance that is no multiple, a half for a few in pictures of black
// and white dots), and the k-th is a surface of the picture, with votes of its own beside it,
// their votes move to that k-th.
void fold(std::vector<Vote> &cast, std::vector<int> &votes, int lo, int hi, int width)
{
    std::vector<std::vector<int>> voters(votes.size());
    for (std::size_t i = 0; i < cast.size(); ++i)
        voters[std::size_t(cast[i].distance - lo)].push_back(int(i));
    // A surface at the k-th: windows of its own vote for whole distances beside it.
    const auto votedAround = [&](int d) {
        int around = 0;
        for (int e = std::max(lo, d - kBandReach); e <= std::min(hi, d + kBandReach); ++e)
            around += votes[std::size_t(e - lo)];
        return around >= kMinPeak;
    };
    std::vector<int> ratios;
    for (std::size_t i = 0; i < voters.size(); ++i) {
        const std::vector<int> &of = voters[i];
        if (of.size() < std::size_t(kMinPeak))
            continue;
        const int at = int(i) + lo;
        for (int k = kMaxFold; k >= 2; --k) {
            const int d = (at + k / 2) / k;
            if (at < k * lo || !votedAround(d))
                continue;
            ratios.clear();
            for (const int v : of) {
                const Vote &vote = cast[std::size_t(v)];
                const int cost = fractionalCost(vote.row, width, vote.x0, hi, at, k);
                ratios.push_back(cost == INT_MAX ? 255 : int(std::min<long long>(255, 100LL * cost / std::max(vote.mean, 1))));
            }
            if (quantile(ratios, 50) > kFoldRatio)
                continue;
            for (const int v : of) {
                Vote &vote = cast[std::size_t(v)];
                vote.distance = d;
                // The cost the rows' search meets: the least at the whole distances either side
                // of the k-th (where their partners lie beyond the row, the window's own).
                const int cost = std::min(wholeCost(vote.row, width, vote.x0, hi, at / k),
                                          wholeCost(vote.row, width, vote.x0, hi, std::min(at / k + 1, hi)));
                if (cost != INT_MAX)
                    vote.cost = cost;
            }
            votes[std::size_t(d - lo)] += votes[i];
            votes[i] = 0;
            break;
        }
    }
}

int quantile(std::vector<int> &values, int percent)
{
    const auto at = values.begin() + std::ptrdiff_t(values.size() * std::size_t(percent) / 100);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// The matches' own differences measure the picture's noise (none in an exact picture): at
// each peak the difference that a quarter of its windows stay below (windows across a depth
// edge differ more), and the median of those, so that each surface counts alike.
// (In a JPEG a surface whose repeat is a multiple of eight, where the blocks line up, matches
// with hardly any difference; the others do not.)
int typicalNoise(const std::vector<Vote> &cast, const std::vector<bool> &peaks, int lo, int from, int to)
{
    std::vector<std::vector<int>> byDistance(peaks.size());
    for (const Vote &v : cast) {
        if (v.distance >= from && v.distance <= to && peaks[std::size_t(v.distance - lo)])
            byDistance[std::size_t(v.distance - lo)].push_back(v.cost);
    }
    std::vector<int> medians;
    for (std::vector<int> &costs : byDistance) {
        if (!costs.empty())
            medians.push_back(quantile(costs, 25));
    }
    return medians.empty() ? 0 : quantile(medians, 50);
}

} // namespace

Plane brightness(const PackedImage &picture)
{
    Plane plane;
    plane.width = picture.width;
    plane.height = picture.height;
    plane.values.resize(picture.pixels.size() + kPlanePadding);
    const Packed *in = picture.pixels.data();
    std::uint8_t *out = plane.values.data();
    const std::size_t count = picture.pixels.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at once, each channel in the low half of a 32-bit lane.
    const __m128i low = _mm_set1_epi32(0xff);
    for (; i + 4 <= count; i += 4) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i r = _mm_and_si128(c, low), g = _mm_and_si128(_mm_srli_epi32(c, 8), low),
                      b = _mm_and_si128(_mm_srli_epi32(c, 16), low);
        const __m128i luma = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(_mm_mullo_epi16(r, _mm_set1_epi32(77)),
                                                                       _mm_mullo_epi16(g, _mm_set1_epi32(150))),
                                                         _mm_mullo_epi16(b, _mm_set1_epi32(29))), 8);
        const __m128i strongest = _mm_max_epi16(r, _mm_max_epi16(g, b));
        __m128i v = _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(strongest, luma), _mm_set1_epi32(1)), 1);
        v = _mm_packus_epi16(_mm_packs_epi32(v, v), v);
        const std::int32_t four = _mm_cvtsi128_si32(v);
        std::memcpy(out + i, &four, 4);
    }
#endif
    for (; i < count; ++i) {
        const auto c = static_cast<std::uint32_t>(in[i]);
        const std::uint32_t r = c & 0xff, g = (c >> 8) & 0xff, b = (c >> 16) & 0xff;
        const std::uint32_t luma = (77 * r + 150 * g + 29 * b) >> 8;
        const std::uint32_t strongest = r > g ? (r > b ? r : b) : (g > b ? g : b);
        out[i] = static_cast<std::uint8_t>((strongest + luma + 1) >> 1);
    }
    return plane;
}

std::vector<bool> blankRows(const Plane &plane)
{
    std::vector<bool> blank(std::size_t(plane.height), false);
    const int windows = plane.width / kWindow - 1;
    if (windows < 1)
        return blank;
    for (int y = 0; y < plane.height; ++y) {
        const std::uint8_t *row = plane.row(y);
        int plain = 0;
        for (int x0 = 0; x0 + 2 * kWindow <= plane.width; x0 += kWindow)
            plain += sad(row + x0, row + x0 + kWindow) < kPlain;
        blank[std::size_t(y)] = plain * 100 >= windows * kBlankShare;
    }
    return blank;
}

Survey survey(const Plane &plane, int kurikaesi, const std::vector<bool> &blank)
{
    Survey result;
    const int width = plane.width;
    const bool given = kurikaesi > 0;
    if (given && kurikaesi < kMinRevealRepeat)
        return result;
    const int lo = given ? std::max(2, kurikaesi / 5) : kMinDistance;
    const int hi = given ? kurikaesi : std::min(width / 3, 1024);
    if (hi < lo + (given ? 0 : 4) || width < kWindow + lo || plane.height < 1)
        return result;

    std::vector<int> votes(std::size_t(hi - lo + 1), 0);
    std::vector<Vote> cast;
    std::vector<int> costs(votes.size());
    int windows = 0;  // windows that are not plain
    std::vector<int> spreads;
    // The rows surveyed are spread evenly over those that are not blank.
    std::vector<int> surveyed;
    for (int y = 0; y < plane.height; ++y) {
        if (blank.empty() || !blank[std::size_t(y)])
            surveyed.push_back(y);
    }
    const int rows = std::min(int(surveyed.size()), kSampleRows);
    for (int i = 0; i < rows; ++i) {
        const std::uint8_t *row = plane.row(surveyed[std::size_t((2LL * i + 1) * int(surveyed.size()) / (2 * rows))]);
        for (int x0 = 0; x0 + kWindow <= width; x0 += kWindow) {
            windowCosts(row, width, x0, lo, hi, costs);
            int best = 0;
            long long mean = 0;
            const int d = bestDistance(costs, lo, hi, best, mean);
            if (d < 0)
                continue;
            ++windows;
            spreads.push_back(int(mean));
            // Searching alone, the nearest distances are where plain gradients match best.
            if (d == 0 || (!given && d < lo + 3))
                continue;
            ++votes[d - lo];
            cast.push_back({d, best, row, x0, int(mean)});
        }
    }

    fold(cast, votes, lo, hi, width);

    // Sharp peaks are the surfaces of a stepped picture; a smooth surface spreads its votes over
    // a band of neighbouring distances instead, far above the thin votes of noise.
    const std::vector<bool> peaks = findPeaks(votes);
    std::vector<bool> band = findBand(votes);
    for (std::size_t i = 0; i < band.size(); ++i)
        band[i] = band[i] || peaks[i];
    const auto peakVotes = [&](int d) { return peaks[std::size_t(d - lo)] ? votes[std::size_t(d - lo)] : 0; };
    const auto held = [&](int d) { return band[std::size_t(d - lo)] ? votes[std::size_t(d - lo)] : 0; };
    int onPeaks = 0, onBand = 0, strongest = 0;
    for (int d = lo; d <= hi; ++d) {
        onPeaks += peakVotes(d);
        onBand += held(d);
        if (held(d) > (strongest ? held(strongest) : 0))
            strongest = d;
    }
    // A repeat worth the name is shared by a good part of the picture, and most votes fall on
    // the repeats of its surfaces: sharp peaks, or a band that holds half of all votes.
    if (strongest == 0 || onBand * 12 < windows || (onPeaks * 3 < int(cast.size()) && onBand * 2 < int(cast.size())))
        return result;
    // In a JPEG a multiple of the repeat where its blocks line up may draw more votes than the
    // repeat itself.
    const auto firstRepeat = [&] {
        for (int k = 4; k >= 2; --k) {
            for (int d = std::max(lo, strongest / k - 1); d <= std::min(hi, strongest / k + 1); ++d) {
                if (held(d) * 4 >= held(strongest))
                    return d;
            }
        }
        return strongest;
    };
    strongest = firstRepeat();

    // The nearest surface is the nearest distance held with a few votes at least (a stray peak
    // has a handful). The farthest repeats at the largest distance held, short of five times the
    // nearest; beyond twice the nearest not at two or three times a distance held with a good
    // share of its votes: two repeats of a nearer surface one after the other lie there.
    int near = strongest, far = strongest;
    for (int d = std::max(lo, strongest / 5); d < strongest && near == strongest; ++d) {
        if (held(d) >= 2 * kMinPeak)
            near = d;
    }
    const auto repeatsNearer = [&](int d) {
        for (int k = 2; k <= 3; ++k) {
            for (int e = std::max(lo, d / k - 1); e <= std::min(hi, d / k + 1); ++e) {
                if (held(e) * 4 >= held(d))
                    return true;
            }
        }
        return false;
    };
    // A few votes at a distance far from any other held are strays: in a wide picture of
    // averaged dots a handful of windows match by chance.
    const auto stray = [&](int d) {
        if (held(d) >= 2 * kMinPeak)
            return false;
        for (int e = std::max(lo, d - kBandReach); e <= std::min(hi, d + kBandReach); ++e) {
            if (e != d && held(e) > 0)
                return false;
        }
        return true;
    };
    for (int d = strongest; d <= std::min(hi, near * 5); ++d) {
        if (held(d) > 0 && !stray(d) && (d <= near * 2 - 2 || d == strongest || !repeatsNearer(d)))
            far = d;
    }
    result.found = true;
    result.hi = given ? kurikaesi : far;
    // Sure: a good part of the windows vote for the surfaces' repeats; a repeat width found has
    // a fair number of votes around it, and no distance left out beyond it (taken for a repeat
    // of a nearer surface, a stray, beyond five times the nearest) holds nearly as many.
    const auto around = [&](int d) {
        int sum = 0;
        for (int e = std::max(lo, d - kBandReach); e <= std::min(hi, d + kBandReach); ++e)
            sum += held(e);
        return sum;
    };
    const int atRepeat = around(result.hi);
    int rival = 0;
    for (int d = result.hi + kBandReach + 1; d <= hi; ++d)
        rival = std::max(rival, held(d));
    result.sure = onBand * 3 >= windows && (given || (atRepeat >= 2 * kMinPeak && rival * 2 < atRepeat));
    // The search covers the nearest surface seen and an eighth beyond, at least down to half
    // the repeat width, so that surfaces too small for the survey's rows to meet are found as
    // well, and at most down to a fifth of it; a smooth texture matches by chance at some
    // distance of a wider range.
    result.lo = std::max({result.hi / 5, std::min(result.hi / 2 + 1, near - near / 8), 2});

    result.spread = spreads.empty() ? 0 : (quantile(spreads, 50) + kWindow / 2) / kWindow;
    result.tolerance = 3 + (2 * typicalNoise(cast, band, lo, result.lo, result.hi) + kWindow / 2) / kWindow;
    return result;
}

} // namespace lumivex::engine::revealing

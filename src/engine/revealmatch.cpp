#include "revealparts.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Each pixel is compared through a window of 7 × 3 pixels with the window one distance to its
// right. Depth is constant along most of a row, so the previous pixel's distance is tried
// first (a window's cost is a few SSE2 instructions, cheaper than carrying it along column by
// column), then the distances beside it. Only where none of them matches (a depth edge, a
// surface hidden from one eye) are all distances searched; a run of such pixels carries all
// the window costs along as running sums, a column in, a column out, sixteen distances at once.

namespace lumivex::engine::revealing {

namespace {

constexpr int kColumns = 2 * kHalf + 1;
constexpr int kSamples = 3 * kColumns;  // compared pixels of a window
constexpr int kBeside = 3;              // distances from a surface's that continue it

} // namespace

RowMatcher::RowMatcher(const Plane &plane, int lo, int hi, int tolerance, int spread)
    : m_plane(plane), m_lo(lo), m_hi(hi), m_limit(kSamples * tolerance),
      m_keep(std::max(2 * m_limit, kSamples * spread * 3 / 10)), m_count(std::max(hi - lo + 1, 0)),
      m_costs(std::size_t(m_count + kCostBlock - 1) / kCostBlock * kCostBlock),
      m_known(std::size_t(plane.width), kNoMatch), m_keptStride(std::size_t(plane.width)), m_kept(3 * m_keptStride)
{
}

inline void RowMatcher::remember(int x, int d, const int *costs)
{
    m_known[std::size_t(x)] = static_cast<std::int16_t>(d);
    for (int k = 0; k < 3; ++k)
        m_kept[k * m_keptStride + std::size_t(x)] = static_cast<std::int16_t>(costs[k]);
}

inline int RowMatcher::columnCost(int c, int d) const
{
    const std::uint8_t *const *r = m_rows;
    return std::abs(int(r[0][c]) - int(r[0][c + d])) + std::abs(int(r[1][c]) - int(r[1][c + d]))
        + std::abs(int(r[2][c]) - int(r[2][c + d]));
}

int RowMatcher::spanCost(int first, int last, int d) const
{
    int sum = 0;
    for (int c = first; c <= last; ++c)
        sum += columnCost(c, d);
    return sum;
}

inline int RowMatcher::windowCost(int x, int d) const
{
    int costs[1];
    windowCosts<1>(x, d, costs);
    return costs[0];
}

// The window costs of pixel x at the N distances from d on.
template <int N>
void RowMatcher::windowCosts(int x, int d, int *costs) const
{
#if defined(__SSE2__)
    // Eight pixels of each row at once, the eighth masked off.
    static_assert(kColumns == 7);
    const int c = x - kHalf;
    const __m128i seven = _mm_set_epi32(0, 0, 0x00ffffff, -1);
    __m128i sums[N];
    for (int k = 0; k < N; ++k)
        sums[k] = _mm_setzero_si128();
    for (const std::uint8_t *r : m_rows) {
        const __m128i a = _mm_and_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(r + c)), seven);
        for (int k = 0; k < N; ++k) {
            const __m128i b = _mm_and_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(r + c + d + k)), seven);
            sums[k] = _mm_add_epi64(sums[k], _mm_sad_epu8(a, b));
        }
    }
    for (int k = 0; k < N; ++k)
        costs[k] = _mm_cvtsi128_si32(sums[k]);
#else
    for (int k = 0; k < N; ++k)
        costs[k] = spanCost(x - kHalf, x + kHalf, d + k);
#endif
}

// refine() works out the costs of the pixels whose match did not keep them.
template void RowMatcher::windowCosts<1>(int, int, int *) const;
template void RowMatcher::windowCosts<3>(int, int, int *) const;

// The pixels from x on that keep distance d, as the row search below would keep it, eight at a
// time (0 to kBlock): their window costs at d (with Around at d - 1 and d + 1 as well, kept for
// refine()) come from each distance's column costs for the 14 columns that the windows cover,
// summed seven at a time. Writes out, and beyond the pixels that keep d whatever the search
// writes again. Without Around a pixel that matches less than well is left to the search.
template <bool Around>
int RowMatcher::keepRun(int x, int d, const std::int16_t *above, std::int16_t *out)
{
#if defined(__SSE2__)
    static_assert(kBlock == 8 && kColumns == 7);
    const int c = x - kHalf;
    const __m128i zero = _mm_setzero_si128();
    const auto load = [](const std::uint8_t *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); };
    const auto store = [](std::int16_t *p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v); };
    const __m128i a[3] = {load(m_rows[0] + c), load(m_rows[1] + c), load(m_rows[2] + c)};
    constexpr int kFirst = Around ? 0 : 1, kEnd = Around ? 3 : 2;
    __m128i costs[3];
    for (int k = kFirst; k < kEnd; ++k) {
        __m128i low = zero, high = zero;  // columns c to c + 7, c + 8 to c + 15
        for (int r = 0; r < 3; ++r) {
            const __m128i b = load(m_rows[r] + c + d - 1 + k);
            const __m128i diff = _mm_or_si128(_mm_subs_epu8(a[r], b), _mm_subs_epu8(b, a[r]));
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(diff, zero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(diff, zero));
        }
        // Columns i and i + 1, then i to i + 3, then i to i + 6 = (i to i + 3) + (i + 4, i + 5) + i + 6.
        const __m128i pairs = _mm_add_epi16(low, _mm_or_si128(_mm_srli_si128(low, 2), _mm_slli_si128(high, 14)));
        const __m128i pairsHigh = _mm_add_epi16(high, _mm_srli_si128(high, 2));
        const __m128i quads = _mm_add_epi16(pairs, _mm_or_si128(_mm_srli_si128(pairs, 4), _mm_slli_si128(pairsHigh, 12)));
        costs[k] = _mm_add_epi16(_mm_add_epi16(quads, _mm_or_si128(_mm_srli_si128(pairs, 8), _mm_slli_si128(pairsHigh, 8))),
                                 _mm_or_si128(_mm_srli_si128(low, 12), _mm_slli_si128(high, 4)));
    }
    // As in match(): the distance holds unless it fails to match well and a neighbour matches
    // better, or it fails to match at all (a neighbour at the ends of the range never does).
    const __m128i run = costs[1], limit = _mm_set1_epi16(static_cast<std::int16_t>(m_limit));
    const __m128i unsure = _mm_cmpgt_epi16(run, _mm_set1_epi16(static_cast<std::int16_t>(m_limit * 3 / 4)));
    __m128i fails = unsure;
    if constexpr (Around) {
        // Beside the surface above a surface goes on up to m_keep, elsewhere up to twice the
        // limit.
        const __m128i distance = _mm_set1_epi16(static_cast<std::int16_t>(d));
        const __m128i apart = _mm_sub_epi16(above ? _mm_loadu_si128(reinterpret_cast<const __m128i *>(above + x)) : zero, distance);
        const __m128i beside = _mm_and_si128(_mm_cmpgt_epi16(apart, _mm_set1_epi16(-2)), _mm_cmpgt_epi16(_mm_set1_epi16(2), apart));
        const __m128i keep = _mm_or_si128(_mm_and_si128(beside, _mm_set1_epi16(static_cast<std::int16_t>(m_keep))),
                                          _mm_andnot_si128(beside, _mm_add_epi16(limit, limit)));
        const __m128i none = _mm_set1_epi16(INT16_MAX);
        const __m128i nearer = d > m_lo ? costs[0] : none, farther = d < m_hi ? costs[2] : none;
        const __m128i moveLimit = _mm_min_epi16(run, _mm_max_epi16(limit, _mm_srai_epi16(keep, 1)));
        const __m128i moves = _mm_andnot_si128(_mm_cmpgt_epi16(_mm_min_epi16(nearer, farther), moveLimit), unsure);
        fails = _mm_or_si128(moves, _mm_cmpgt_epi16(run, keep));
    }
    unsigned stops = unsigned(_mm_movemask_epi8(fails)) & 0x5555u;
    // A surface at half the distance, looked for every fourth pixel.
    const int half = d / 2;
    if (d % 2 == 0 && half >= m_lo) {
        alignas(16) std::int16_t runs[kBlock];
        _mm_store_si128(reinterpret_cast<__m128i *>(runs), run);
        for (int i = (4 - x % 4) % 4; i < kBlock; i += 4) {
            if (windowCost(x + i, half) <= runs[i])
                stops |= 1u << (2 * i);
        }
    }
    const __m128i distance = _mm_set1_epi16(static_cast<std::int16_t>(d));
    store(out + x, distance);
    if constexpr (Around) {
        store(m_known.data() + x, distance);
        for (int k = 0; k < 3; ++k)
            store(m_kept.data() + std::size_t(k) * m_keptStride + std::size_t(x), costs[k]);
    }
    return stops ? __builtin_ctz(stops) / 2 : kBlock;
#else
    (void)x, (void)d, (void)above, (void)out;
    return 0;
#endif
}

// Two or more repeats one after the other (the content at x again at x + d and x + 2d) match
// as well as one: of a distance d found over columns first..last, the least whole fraction of
// it that matches nearly as well is the distance.
int RowMatcher::fundamental(int first, int last, int d, int cost, int limit) const
{
    const int enough = std::min(limit / 2, cost + limit / 8);
    for (int k = 5; k >= 2; --k) {
        int best = 0, bestCost = INT_MAX;
        for (int e = std::max(m_lo, (d + k / 2) / k - 1); e <= std::min(m_hi, (d + k / 2) / k + 1); ++e) {
            const int c = spanCost(first, last, e);
            if (c <= enough && c < bestCost)
                best = e, bestCost = c;
        }
        if (best > 0)
            return best;
    }
    return d;
}

// Column c's costs at every distance (lo + i at i), added to the window costs; with a column
// to take away, the window slides one pixel on. The costs are worked out sixteen distances at
// a time, the last block reading past the farthest distance into the row's end or the plane's
// padding (the costs there are never read).
template <bool Slide>
void RowMatcher::accumulate(int c, int gone)
{
    std::int16_t *costs = m_costs.data();
    const int n = static_cast<int>(m_costs.size());
#if defined(__SSE2__)
    static_assert(kCostBlock == 16);
    const __m128i zero = _mm_setzero_si128();
    const auto absDiff = [](__m128i a, __m128i b) { return _mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)); };
    __m128i in[3], out[3];
    const std::uint8_t *inAt[3], *outAt[3];
    for (int r = 0; r < 3; ++r) {
        in[r] = _mm_set1_epi8(static_cast<char>(m_rows[r][c]));
        out[r] = _mm_set1_epi8(static_cast<char>(m_rows[r][gone]));
        inAt[r] = m_rows[r] + c + m_lo;
        outAt[r] = m_rows[r] + gone + m_lo;
    }
    for (int i = 0; i < n; i += kCostBlock) {
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i *>(costs + i));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i *>(costs + i + 8));
        for (int r = 0; r < 3; ++r) {
            const __m128i added = absDiff(in[r], _mm_loadu_si128(reinterpret_cast<const __m128i *>(inAt[r] + i)));
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(added, zero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(added, zero));
            if constexpr (Slide) {
                const __m128i taken = absDiff(out[r], _mm_loadu_si128(reinterpret_cast<const __m128i *>(outAt[r] + i)));
                low = _mm_sub_epi16(low, _mm_unpacklo_epi8(taken, zero));
                high = _mm_sub_epi16(high, _mm_unpackhi_epi8(taken, zero));
            }
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(costs + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(costs + i + 8), high);
    }
#else
    const std::uint8_t *a0 = m_rows[0] + c + m_lo, *a1 = m_rows[1] + c + m_lo, *a2 = m_rows[2] + c + m_lo;
    const int v0 = m_rows[0][c], v1 = m_rows[1][c], v2 = m_rows[2][c];
    const std::uint8_t *g0 = m_rows[0] + gone + m_lo, *g1 = m_rows[1] + gone + m_lo, *g2 = m_rows[2] + gone + m_lo;
    const int w0 = m_rows[0][gone], w1 = m_rows[1][gone], w2 = m_rows[2][gone];
    for (int i = 0; i < m_count; ++i) {
        int cost = costs[i] + std::abs(v0 - a0[i]) + std::abs(v1 - a1[i]) + std::abs(v2 - a2[i]);
        if constexpr (Slide)
            cost -= std::abs(w0 - g0[i]) + std::abs(w1 - g1[i]) + std::abs(w2 - g2[i]);
        costs[i] = static_cast<std::int16_t>(cost);
    }
    (void)n;
#endif
}

void RowMatcher::searchAll(int x, bool slide)
{
    if (slide) {
        accumulate<true>(x + kHalf, x - 1 - kHalf);
        return;
    }
    std::fill(m_costs.begin(), m_costs.end(), std::int16_t(0));
    for (int c = x - kHalf; c <= x + kHalf; ++c)
        accumulate<false>(c, c);
}

// The cheapest distance, when it matches within the tolerance. On a tie the previous pixel's
// distance wins, then the farther repeat: beside a repeat that a surface makes, a field picture
// built from a small tile may repeat by chance at another distance as well; but a whole
// fraction of it that matches nearly as well is the first of several repeats (fundamental).
std::int16_t RowMatcher::bestOfAll(int prefer, int up, int &cost) const
{
    const std::int16_t *costs = m_costs.data();
    const int n = m_count;
    int least = INT16_MAX, i = 0;
#if defined(__SSE2__)
    __m128i smallest = _mm_set1_epi16(INT16_MAX);
    for (; i + 8 <= n; i += 8)
        smallest = _mm_min_epi16(smallest, _mm_loadu_si128(reinterpret_cast<const __m128i *>(costs + i)));
    smallest = _mm_min_epi16(smallest, _mm_srli_si128(smallest, 8));
    smallest = _mm_min_epi16(smallest, _mm_srli_si128(smallest, 4));
    smallest = _mm_min_epi16(smallest, _mm_srli_si128(smallest, 2));
    least = std::int16_t(_mm_cvtsi128_si32(smallest));
#endif
    for (; i < n; ++i)
        least = std::min(least, int(costs[i]));
    cost = least;
    if (least > m_limit)
        return partialMatch(prefer, up, least);
    if (prefer > 0 && costs[prefer - m_lo] == least)
        return static_cast<std::int16_t>(prefer);
    // A smooth texture may match by chance far away about as well as the surface goes on
    // beside the previous pixel's distance: the surface goes on.
    for (int step = 1; prefer > 0 && step <= 2; ++step) {
        for (const int d : {prefer - step, prefer + step}) {
            if (d >= m_lo && d <= m_hi && costs[d - m_lo] <= least + m_limit / 8) {
                cost = costs[d - m_lo];
                return static_cast<std::int16_t>(d);
            }
        }
    }
    int at = n - 1;
    while (costs[at] != least)
        --at;
    for (int k = 5; k >= 2; --k) {
        const int d = m_lo + at, e = (d + k / 2) / k;
        for (int f = std::max(e - 1, m_lo); f <= std::min(e + 1, m_hi); ++f) {
            if (costs[f - m_lo] <= std::min(m_limit / 2, least + m_limit / 8))
                return static_cast<std::int16_t>(f);
        }
    }
    return static_cast<std::int16_t>(m_lo + at);
}

// Beyond the tolerance a window still matches partly where its surface's repeat lies between
// two pixels (a picture built finer, mono dots each drawn at the pixel whose centre they
// cover) or changes across the window (a steep surface): the cheapest distance is taken when
// it costs far less than the window's mean over all distances and lies beside the surface of
// the previous pixel or the pixel above, where a chance match is rare.
std::int16_t RowMatcher::partialMatch(int prefer, int up, int least) const
{
    if (least > m_keep)
        return kNoMatch;
    const std::int16_t *costs = m_costs.data();
    long long sum = 0;
    int at = -1;
    for (int i = 0; i < m_count; ++i) {
        sum += costs[i];
        if (at < 0 && costs[i] == least)
            at = i;
    }
    const int d = m_lo + at;
    const bool beside = up > 0 && (std::abs(d - up) <= kBeside || std::abs(d - prefer) <= kBeside);
    return least * 10LL * m_count <= 3 * sum && beside ? static_cast<std::int16_t>(d) : kNoMatch;
}

// The pixels whose whole window matched nowhere lie at a depth edge (the window reaches across
// it), or are seen by one eye only. At an edge the half of the window on the pixel's own side
// matches the distance found beyond the unmatched stretch on that side, from the stretch's end
// inwards; a pixel seen by one eye matches on neither side and stays without a distance.
void RowMatcher::settleEdges(int from, int to, std::int16_t *out) const
{
    const int halfLimit = m_limit * (kHalf + 1) / kColumns;
    const auto halfCost = [&](int first, int d) {
#if defined(__SSE2__)
        static_assert(kHalf + 1 == 4);
        __m128i sum = _mm_setzero_si128();
        for (const std::uint8_t *r : m_rows) {
            std::int32_t a, b;
            std::memcpy(&a, r + first, 4);
            std::memcpy(&b, r + first + d, 4);
            sum = _mm_add_epi64(sum, _mm_sad_epu8(_mm_cvtsi32_si128(a), _mm_cvtsi32_si128(b)));
        }
        return _mm_cvtsi128_si32(sum);
#else
        return spanCost(first, first + kHalf, d);
#endif
    };
    for (int start = from; start < to; ++start) {
#if defined(__SSE2__)
        // Unmatched pixels are few: looked for eight at a time.
        for (; start + 8 <= to; start += 8) {
            const __m128i at = _mm_loadu_si128(reinterpret_cast<const __m128i *>(out + start));
            if (const unsigned bits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(at, _mm_set1_epi16(kNoMatch))))) {
                start += __builtin_ctz(bits) / 2;
                break;
            }
        }
#endif
        if (start >= to || out[start] != kNoMatch)
            continue;
        int end = start;
        while (end < to && out[end] == kNoMatch)
            ++end;
        int x = end;
        if (end < to) {
            for (const int d = out[end]; x > start && halfCost(x - 1, d) <= halfLimit; --x)
                out[x - 1] = static_cast<std::int16_t>(d);
        }
        if (start > from) {
            const int d = out[start - 1];
            for (int y = start; y < x && y - kHalf >= 0 && halfCost(y - kHalf, d) <= halfLimit; ++y)
                out[y] = static_cast<std::int16_t>(d);
        }
        start = end;
    }
}

// The pixels at the row's start, whose windows are cut at the picture's left side: the window
// of pixel x holds columns 0 to x + kHalf. (Ties go to the farther repeat, as in bestOfAll.)
void RowMatcher::matchStart(int count, std::int16_t *out) const
{
    std::array<int, kHalf> bestCost, best;
    bestCost.fill(INT_MAX);
    best.fill(kNoMatch);
    for (int d = m_hi; d >= m_lo; --d) {
        int cost = 0;
        for (int c = 0; c < kHalf; ++c)
            cost += columnCost(c, d);
        for (int x = 0; x < count; ++x) {
            cost += columnCost(x + kHalf, d);
            if (cost < bestCost[std::size_t(x)]) {
                bestCost[std::size_t(x)] = cost;
                best[std::size_t(x)] = d;
            }
        }
    }
    for (int x = 0; x < count; ++x) {
        const int limit = m_limit * (x + kHalf + 1) / kColumns;
        const bool matches = bestCost[std::size_t(x)] <= limit;
        out[x] = matches ? static_cast<std::int16_t>(fundamental(0, x + kHalf, best[std::size_t(x)], bestCost[std::size_t(x)], limit))
                         : kNoMatch;
    }
}

void RowMatcher::setRow(int y)
{
    m_rows[0] = m_plane.row(std::max(y - 1, 0));
    m_rows[1] = m_plane.row(y);
    m_rows[2] = m_plane.row(std::min(y + 1, m_plane.height - 1));
    m_from = std::min(kHalf, m_plane.width);
    m_to = std::clamp(m_plane.width - kHalf - m_hi, m_from, m_plane.width);
}

void RowMatcher::match(int y, std::span<const std::int16_t> above, std::span<std::int16_t> out, bool keepCosts)
{
    // Pixels at one distance (give or take a pixel) that make a surface steady.
    constexpr int kSteadyRun = 16;
    const int width = m_plane.width;
    setRow(y);

    // Only where the partner at every distance lies inside the row. The pixels beyond have no
    // partner: the depth of the last pixels of a row is not in the picture (their repeat would
    // lie past its right border), and they take the depth beside them.
    const int from = std::min(kHalf, width);
    const int to = std::clamp(width - kHalf - m_hi, from, width);
    if (to > from)
        matchStart(from, out.data());
    else
        std::fill(out.begin(), out.begin() + from, kNoMatch);
    std::fill(out.begin() + to, out.end(), kNoMatch);

    int previous = from > 0 ? std::max<int>(out[std::size_t(from - 1)], 0) : 0;  // the distance last found
    int searchedAt = from - 2;        // where m_costs were last worked out
    m_knownRow = keepCosts ? y : -1;
    bool holding = false;  // the last pixel kept the distance before it, or moved it a pixel
    for (int x = from; x < to; ++x) {
        // Most pixels keep the previous pixel's distance: looked for eight at a time where the
        // last one did.
        if (holding && x + kBlock <= to) {
            const std::int16_t *ups = above.empty() ? nullptr : above.data();
            const int kept = keepCosts ? keepRun<true>(x, previous, ups, out.data()) : keepRun<false>(x, previous, ups, out.data());
            x += kept;
            if (kept == kBlock) {
                --x;
                continue;
            }
        }
        holding = true;
        m_known[std::size_t(x)] = kNoMatch;
        const int up = above.empty() ? 0 : above[std::size_t(x)];
        if (previous > 0) {
            // Beyond twice the tolerance a surface goes on only beside the one above: at a
            // depth edge the pixel above has most likely crossed the edge already.
            const int keep = std::abs(up - previous) <= 1 ? m_keep : 2 * m_limit;
            // The cost at the previous pixel's distance, and one nearer and one farther where
            // it matches less than well or the row is refined (all three at once: they share the
            // pixel's own window).
            int costs[3];
            const auto around = [&](int d) {
                if (keepCosts)
                    windowCosts<3>(x, d - 1, costs);
                else
                    costs[0] = costs[2] = INT_MAX, costs[1] = windowCost(x, d);
            };
            around(previous);
            // A surface at half the distance repeats at the distance as well, twice over: looked
            // for every fourth pixel (a block's first pixels are settled as an edge's).
            const int half = previous / 2;
            if (x % 4 == 0 && previous % 2 == 0 && half >= m_lo && windowCost(x, half) <= costs[1]) {
                previous = half;
                around(previous);
            }
            if (!keepCosts && costs[1] > m_limit * 3 / 4)
                windowCosts<3>(x, previous - 1, costs);
            const int run = costs[1];
            // A smooth surface moves its repeat a pixel at a time, and goes on as long as it
            // matches at all: where it no longer matches well, the cheaper neighbour that
            // matches takes over.
            const int nearer = previous > m_lo ? costs[0] : INT_MAX;
            const int farther = previous < m_hi ? costs[2] : INT_MAX;
            const bool moves = run > m_limit * 3 / 4 && std::min(nearer, farther) <= std::min(run, std::max(m_limit, keep / 2));
            // Nearly matching still: the surface goes on, seen less well (a texture between two
            // pixels, noise); a search would find nothing better. (At three times the tolerance
            // a row of averaged dots that began at a wrong distance kept it to its end.)
            if (!moves && run <= keep) {
                out[std::size_t(x)] = static_cast<std::int16_t>(previous);
                if (keepCosts)
                    remember(x, previous, costs);
                continue;
            }
            if (moves) {
                previous += nearer <= farther ? -1 : 1;
                out[std::size_t(x)] = static_cast<std::int16_t>(previous);
                continue;
            }
        }
        holding = false;
        // Past an edge the pixel above has most likely crossed it already.
        if (up > 0 && up != previous) {
            const int cost = windowCost(x, up);
            if (cost <= m_limit) {
                out[std::size_t(x)] = static_cast<std::int16_t>(up);
                previous = up;
                continue;
            }
        }
        searchAll(x, searchedAt == x - 1);
        searchedAt = x;
        int cost = 0;
        const std::int16_t found = bestOfAll(previous, up, cost);
        out[std::size_t(x)] = found;
        if (keepCosts && found > m_lo && found < m_hi) {
            const int i = found - m_lo;
            const int costs[3] = {m_costs[std::size_t(i - 1)], m_costs[std::size_t(i)], m_costs[std::size_t(i + 1)]};
            remember(x, found, costs);
        }
        // Settled once the row is done.
        if (found == kNoMatch || found == previous)
            continue;
        previous = found;
    }
    // A row whose first pixels matched nowhere or in short runs only (where the picture repeats
    // between two pixels a search matches well only here and there, and by chance elsewhere):
    // the first steady surface goes on leftwards as long as it matches at all, as it would
    // have gone on rightwards.
    int first = from, steady = 0;
    for (int x = from; x < to && steady < kSteadyRun; ++x) {
        const int d = out[std::size_t(x)];
        if (d == kNoMatch || std::abs(d - out[std::size_t(first)]) > 1 || out[std::size_t(first)] == kNoMatch)
            first = x, steady = 0;
        steady += d != kNoMatch;
    }
    if (steady == kSteadyRun && first > from) {
        const int d = out[std::size_t(first)];
        for (int x = first - 1; x >= from && windowCost(x, d) <= m_keep; --x)
            out[std::size_t(x)] = static_cast<std::int16_t>(d);
    }
    settleEdges(0, to, out.data());
}

} // namespace lumivex::engine::revealing

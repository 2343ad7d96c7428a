#include "revealparts.h"

#include <algorithm>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The refinement of the whole distances that the row search found to sixteenths of a pixel,
// from the window costs beside each distance: most of them the search worked out already.

namespace lumivex::engine::revealing {

// The repeat lies a share f of a pixel from the distance found towards the cheaper neighbour:
// the cost grows with the distance from it, in proportion nearby (a texture's V) or up to a
// pixel and no farther (dots, which past a pixel's shift differ as much as anywhere), so that
// in both the distance costs f and the neighbour 1 - f of the same amount. The offset is
// kSub × costs[1] / (costs[1] + the neighbour's), rounded: (2 kSub × costs[1] + sum) /
// (2 × sum), rounded down, 0 to kSub / 2; 0 where both neighbours cost alike. (The V's slopes
// alone read the dots' repeats between two pixels as whole ones: a dot plane came out as
// steps.)
void RowMatcher::refineAt(int x, std::span<const std::int16_t> distances, std::span<std::int16_t> fine, bool cached,
                         long long &offsetSum, long long &offsets) const
{
    const std::int16_t *at = distances.data();
    const int width = static_cast<int>(distances.size());
    int d = at[x];
    fine[std::size_t(x)] = d == kNoMatch ? kNoMatch : static_cast<std::int16_t>(d * kSub);
    const bool steady = x > 0 && x + 1 < width && at[x - 1] == d && at[x + 1] == d;
    if (d == kNoMatch || x < kHalf || x >= m_to || d <= m_lo || d >= m_hi || (x % 2 == 1 && steady))
        return;
    // The least cost among the whole distances beside the one found (the search keeps a
    // distance that matches well enough), then the costs on both sides of it.
    int costs[3];
    if (cached && m_known[std::size_t(x)] == d) {
        for (int k = 0; k < 3; ++k)
            costs[k] = kept(k)[x];
    } else {
        windowCosts<3>(x, d - 1, costs);
    }
    bool settled = false;
    for (int step = 0; step < 3; ++step) {
        if (costs[0] >= costs[1] && costs[2] >= costs[1]) {
            settled = true;
            break;
        }
        if (costs[0] < costs[2]) {
            if (--d <= m_lo)
                break;
            costs[2] = costs[1], costs[1] = costs[0], windowCosts<1>(x, d - 1, costs);
        } else {
            if (++d >= m_hi)
                break;
            costs[0] = costs[1], costs[1] = costs[2], windowCosts<1>(x, d + 1, costs + 2);
        }
    }
    if (!settled)
        return;
    const int sum = costs[1] + std::min(costs[0], costs[2]);
    const int steps = sum > 0 && costs[0] != costs[2] ? (2 * kSub * costs[1] + sum) / (2 * sum) : 0;
    const int offset = costs[0] > costs[2] ? steps : -steps;
    fine[std::size_t(x)] = static_cast<std::int16_t>(d * kSub + offset);
    if (steady)
        offsetSum += std::abs(offset), ++offsets;
}

void RowMatcher::refine(int y, std::span<const std::int16_t> distances, std::span<std::int16_t> fine, bool sample)
{
    setRow(y);
    const bool cached = y == m_knownRow;  // the costs that the match of this row kept
    const int width = static_cast<int>(distances.size());
    long long offsetSum = 0, offsets = 0;
    int x = 0;
#if defined(__SSE2__)
    // Eight pixels at once where the match kept their costs, which the costs settle (the least
    // lies at the distance found) and all eight lie where pixels are refined; the others one
    // by one. The quotient is divided as floats: numerator and divisor are small integers,
    // and a quotient short of a whole number by at least 1 / divisor rounds down alike.
    const int first = (kHalf + 1) & ~1;  // even, so the odd pixels are lanes 1, 3, 5, 7
    const int last = std::min(m_to, width - 1) - 8;       // the last block's first pixel
    for (; x < first; ++x)
        refineAt(x, distances, fine, cached, offsetSum, offsets);
    const __m128i zero = _mm_setzero_si128(), ones = _mm_set1_epi16(-1), unit = _mm_set1_epi16(1);
    const __m128i odd = _mm_set_epi16(-1, 0, -1, 0, -1, 0, -1, 0);
    const __m128i lo = _mm_set1_epi16(static_cast<std::int16_t>(m_lo)), hi = _mm_set1_epi16(static_cast<std::int16_t>(m_hi));
    __m128i sums = zero, counts = zero;  // of the offsets of steady pixels, in four lanes
    const std::int16_t *at = distances.data();
    const auto load = [](const std::int16_t *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); };
    for (; x <= last; x += 8) {
        const __m128i d = load(at + x);
        const __m128i steady = _mm_and_si128(_mm_cmpeq_epi16(load(at + x - 1), d), _mm_cmpeq_epi16(load(at + x + 1), d));
        // Refined: lo < d < hi (which leaves kNoMatch out) and not a pixel between two.
        const __m128i refined = _mm_andnot_si128(_mm_and_si128(steady, odd), _mm_and_si128(_mm_cmpgt_epi16(d, lo), _mm_cmpgt_epi16(hi, d)));
        const __m128i c0 = load(kept(0) + x), c1 = load(kept(1) + x), c2 = load(kept(2) + x);
        const __m128i settled = _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi16(c1, c0), _mm_cmpgt_epi16(c1, c2)), ones);
        const __m128i known = cached ? _mm_cmpeq_epi16(load(m_known.data() + x), d) : zero;
        const __m128i ok = _mm_and_si128(refined, _mm_and_si128(known, settled));
        // quotient(r, s) = (kSub × s + r) / (2 r): r the sum, s twice costs[1] (0 where the
        // neighbours cost alike).
        const __m128i uneven = _mm_andnot_si128(_mm_cmpeq_epi16(c0, c2), ones);
        const __m128i rise = _mm_and_si128(ok, _mm_add_epi16(c1, _mm_min_epi16(c0, c2)));
        const __m128i spread = _mm_and_si128(_mm_and_si128(ok, uneven), _mm_add_epi16(c1, c1));
        const auto quotient = [&](__m128i r, __m128i s) {
            const __m128i scaled = _mm_add_epi32(_mm_slli_epi32(s, 4), r);
            const __m128i q = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(scaled), _mm_cvtepi32_ps(_mm_add_epi32(r, r))));
            return _mm_and_si128(q, _mm_cmpgt_epi32(r, zero));
        };
        static_assert(kSub == 16);
        const __m128i steps = _mm_packs_epi32(quotient(_mm_unpacklo_epi16(rise, zero), _mm_unpacklo_epi16(spread, zero)),
                                              quotient(_mm_unpackhi_epi16(rise, zero), _mm_unpackhi_epi16(spread, zero)));
        const __m128i towardsNear = _mm_andnot_si128(_mm_cmpgt_epi16(c0, c2), ones);  // offset negative
        const __m128i offset = _mm_sub_epi16(_mm_xor_si128(steps, towardsNear), towardsNear);
        const __m128i none = _mm_cmpeq_epi16(d, ones);
        const __m128i base = _mm_or_si128(_mm_andnot_si128(none, _mm_slli_epi16(d, 4)), none);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(fine.data() + x), _mm_add_epi16(base, offset));
        const __m128i counted = _mm_and_si128(steady, ok);
        sums = _mm_add_epi32(sums, _mm_madd_epi16(_mm_and_si128(counted, steps), unit));
        counts = _mm_add_epi32(counts, _mm_madd_epi16(_mm_and_si128(counted, unit), unit));
        // The rest the slow way.
        for (unsigned slow = unsigned(_mm_movemask_epi8(_mm_andnot_si128(ok, refined))) & 0x5555u; slow; slow &= slow - 1)
            refineAt(x + __builtin_ctz(slow) / 2, distances, fine, cached, offsetSum, offsets);
    }
    alignas(16) std::int32_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), sums);
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes + 4), counts);
    offsetSum += lanes[0] + lanes[1] + lanes[2] + lanes[3];
    offsets += lanes[4] + lanes[5] + lanes[6] + lanes[7];
#endif
    for (; x < std::min(m_to, width); ++x)
        refineAt(x, distances, fine, cached, offsetSum, offsets);
    for (; x < width; ++x) {  // beyond the pixels refined
        const std::int16_t d = distances[std::size_t(x)];
        fine[std::size_t(x)] = d == kNoMatch ? kNoMatch : static_cast<std::int16_t>(d * kSub);
    }
    betweenPixels(distances, fine);
    if (sample)
        m_offsetSum += offsetSum, m_offsets += offsets;
}

// The windows of two neighbours share six of their seven columns: inside a run of one whole
// distance every other pixel takes the mean of its neighbours' refined distances (rounded
// towards zero).
void RowMatcher::betweenPixels(std::span<const std::int16_t> distances, std::span<std::int16_t> fine)
{
    const int width = static_cast<int>(distances.size());
    const std::int16_t *at = distances.data();
    const auto mean = [&](int x) {
        const std::int16_t d = at[x];
        if (d != kNoMatch && at[x - 1] == d && at[x + 1] == d)
            fine[std::size_t(x)] = static_cast<std::int16_t>((fine[std::size_t(x - 1)] + fine[std::size_t(x + 1)]) / 2);
    };
    int x = 1;
#if defined(__SSE2__)
    // Eight pixels from an even one at a time, the odd ones lanes 1, 3, 5 and 7; the means
    // worked out with 32 bits.
    if (width > 2)
        mean(1);
    const __m128i odd = _mm_set_epi16(-1, 0, -1, 0, -1, 0, -1, 0), none = _mm_set1_epi16(kNoMatch);
    const auto load = [](const std::int16_t *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); };
    const auto halve = [](__m128i a, __m128i b) {
        const __m128i sum = _mm_add_epi32(a, b);
        return _mm_srai_epi32(_mm_add_epi32(sum, _mm_srli_epi32(sum, 31)), 1);
    };
    const auto low = [](__m128i v) { return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16); };
    const auto high = [](__m128i v) { return _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16); };
    for (x = 2; x + 8 < width; x += 8) {
        const __m128i d = load(at + x);
        const __m128i between = _mm_andnot_si128(_mm_cmpeq_epi16(d, none), _mm_and_si128(odd, _mm_and_si128(_mm_cmpeq_epi16(load(at + x - 1), d),
                                                                                                       _mm_cmpeq_epi16(load(at + x + 1), d))));
        const __m128i left = load(fine.data() + x - 1), right = load(fine.data() + x + 1), own = load(fine.data() + x);
        const __m128i means = _mm_packs_epi32(halve(low(left), low(right)), halve(high(left), high(right)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(fine.data() + x),
                         _mm_or_si128(_mm_and_si128(between, means), _mm_andnot_si128(between, own)));
    }
    x += 1;
#endif
    for (; x + 1 < width; x += 2)
        mean(x);
}

} // namespace lumivex::engine::revealing

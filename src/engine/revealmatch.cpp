#include "revealparts.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

// Each pixel is compared through a window of 7 × 3 pixels with the window one distance to its
// right. Depth is constant along most of a row, so the previous pixel's distance is tried
// first, its window cost carried along as a running sum: a column in, a column out. Only where
// it matches less well than three quarters of the tolerance (a depth edge, a surface hidden
// from one eye, or a smooth texture in which a nearby distance may match as well) are all
// distances searched; a run of such pixels carries all the window costs along the same way.

namespace lumivex::engine::revealing {

namespace {

constexpr int kHalf = 3;                // columns each side of the pixel
constexpr int kColumns = 2 * kHalf + 1;
constexpr int kSamples = 3 * kColumns;  // compared pixels of a window

} // namespace

RowMatcher::RowMatcher(const Plane &plane, int lo, int hi, int tolerance)
    : m_plane(plane), m_lo(lo), m_hi(hi), m_limit(kSamples * tolerance),
      m_costs(std::size_t(std::max(hi - lo + 1, 0)))
{
}

inline int RowMatcher::columnCost(int c, int d) const
{
    const std::uint8_t *const *r = m_rows;
    return std::abs(int(r[0][c]) - int(r[0][c + d])) + std::abs(int(r[1][c]) - int(r[1][c + d]))
        + std::abs(int(r[2][c]) - int(r[2][c + d]));
}

int RowMatcher::windowCost(int x, int d) const
{
    int sum = 0;
    for (int c = x - kHalf; c <= x + kHalf; ++c)
        sum += columnCost(c, d);
    return sum;
}

// Column c's costs at every distance (lo + i at i), added to the window costs; with a column
// to take away, the window slides one pixel on.
template <bool Slide>
void RowMatcher::accumulate(int c, int gone)
{
    const std::uint8_t *a0 = m_rows[0] + c + m_lo, *a1 = m_rows[1] + c + m_lo, *a2 = m_rows[2] + c + m_lo;
    const int v0 = m_rows[0][c], v1 = m_rows[1][c], v2 = m_rows[2][c];
    const std::uint8_t *g0 = m_rows[0] + gone + m_lo, *g1 = m_rows[1] + gone + m_lo, *g2 = m_rows[2] + gone + m_lo;
    const int w0 = m_rows[0][gone], w1 = m_rows[1][gone], w2 = m_rows[2][gone];
    std::int16_t *costs = m_costs.data();
    const int n = static_cast<int>(m_costs.size());
    for (int i = 0; i < n; ++i) {
        int cost = costs[i] + std::abs(v0 - a0[i]) + std::abs(v1 - a1[i]) + std::abs(v2 - a2[i]);
        if constexpr (Slide)
            cost -= std::abs(w0 - g0[i]) + std::abs(w1 - g1[i]) + std::abs(w2 - g2[i]);
        costs[i] = static_cast<std::int16_t>(cost);
    }
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
// built from a small tile may repeat by chance at another distance as well.
std::int16_t RowMatcher::bestOfAll(int prefer, int &cost) const
{
    const std::int16_t *costs = m_costs.data();
    const int n = static_cast<int>(m_costs.size());
    int least = INT16_MAX;
    for (int i = 0; i < n; ++i)
        least = std::min(least, int(costs[i]));
    cost = least;
    if (least > m_limit)
        return kNoMatch;
    if (prefer > 0 && costs[prefer - m_lo] == least)
        return static_cast<std::int16_t>(prefer);
    int at = n - 1;
    while (costs[at] != least)
        --at;
    return static_cast<std::int16_t>(m_lo + at);
}

// The pixels whose whole window matched nowhere lie at a depth edge (the window reaches across
// it), or are seen by one eye only. At an edge the half of the window on the pixel's own side
// matches the distance found beyond the unmatched stretch on that side, from the stretch's end
// inwards; a pixel seen by one eye matches on neither side and stays without a distance.
void RowMatcher::settleEdges(int from, int to, std::int16_t *out) const
{
    const int halfLimit = m_limit * (kHalf + 1) / kColumns;
    const auto halfCost = [&](int first, int d) {
        int sum = 0;
        for (int c = first; c <= first + kHalf; ++c)
            sum += columnCost(c, d);
        return sum;
    };
    for (int start = from; start < to; ++start) {
        if (out[start] != kNoMatch)
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
        const bool matches = bestCost[std::size_t(x)] * kColumns <= m_limit * (x + kHalf + 1);
        out[x] = matches ? static_cast<std::int16_t>(best[std::size_t(x)]) : kNoMatch;
    }
}

void RowMatcher::match(int y, std::span<const std::int16_t> above, std::span<std::int16_t> out)
{
    const int width = m_plane.width;
    m_rows[0] = m_plane.row(std::max(y - 1, 0));
    m_rows[1] = m_plane.row(y);
    m_rows[2] = m_plane.row(std::min(y + 1, m_plane.height - 1));

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
    int run = 0, runAt = from - 2;    // the window cost of the previous distance at runAt
    int searchedAt = from - 2;        // where m_costs were last worked out
    for (int x = from; x < to; ++x) {
        if (previous > 0) {
            run = runAt == x - 1 ? run + columnCost(x + kHalf, previous) - columnCost(x - 1 - kHalf, previous)
                                 : windowCost(x, previous);
            runAt = x;
            if (run <= m_limit * 3 / 4) {
                out[std::size_t(x)] = static_cast<std::int16_t>(previous);
                continue;
            }
        }
        // Past an edge the pixel above has most likely crossed it already.
        const int up = above.empty() ? 0 : above[std::size_t(x)];
        if (up > 0 && up != previous) {
            const int cost = windowCost(x, up);
            if (cost <= m_limit) {
                out[std::size_t(x)] = static_cast<std::int16_t>(up);
                previous = up;
                run = cost;
                runAt = x;
                continue;
            }
        }
        searchAll(x, searchedAt == x - 1);
        searchedAt = x;
        int cost = 0;
        const std::int16_t found = bestOfAll(previous, cost);
        out[std::size_t(x)] = found;
        // Settled once the row is done; the running cost still belongs to the previous distance.
        if (found == kNoMatch || found == previous)
            continue;
        previous = found;
        run = cost;
        runAt = x;
    }
    settleEdges(0, to, out.data());
}

} // namespace lumivex::engine::revealing

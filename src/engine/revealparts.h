#pragma once

// The reveal's working parts, apart from its public face (reveal.h): the picture's brightness,
// the survey that finds which distances repeat, and the row search that gives each pixel its
// distance.

#include "packedimage.h"

#include <cstdint>
#include <span>
#include <vector>

namespace lumivex::engine::revealing {

/// A picture's brightness, one byte a pixel: what the search compares. Colour random dots and
/// colour fields differ in brightness as well, and a JPEG keeps brightness far better than
/// colour.
/// Bytes beyond the last row, so that the match may read eight pixels at a time up to it.
inline constexpr std::size_t kPlanePadding = 16;

struct Plane
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> values;

    const std::uint8_t *row(int y) const { return values.data() + static_cast<std::size_t>(y) * width; }
};

/// The mean of a pixel's strongest component and its BT.601 brightness (77 R + 150 G + 29 B) /
/// 256: smooth in the colours, as a JPEG needs, and yet far from black for every dot colour
/// (BT.601 brightness alone puts dark blue 15 steps from black; this puts it 71 away).
Plane brightness(const PackedImage &picture);

/// What a survey of sampled rows found.
struct Survey
{
    bool found = false;
    int lo = 0;         ///< the distances every pixel is searched over, lo to hi (at most a
                        ///< fifth of hi to it); hi is the
    int hi = 0;         ///< farthest surface's, the repeat width
    int tolerance = 0;  ///< mean difference per compared pixel that a match may have
    int spread = 0;     ///< mean difference per pixel of windows at an arbitrary distance
    /// The repeat stands out: a third of the windows that are not plain vote for the
    /// surfaces' repeats; unless the width was given, a few of them for hi itself, and no
    /// distance beyond hi left out draws half as many votes as hi.
    bool sure = false;
};

/// The rows that show nothing to compare: nearly all their windows of 16 pixels are plain (a
/// guide band above a stereogram, white but for two dots one repeat apart; a plain stripe).
std::vector<bool> blankRows(const Plane &plane);

/// Compares windows of 16 pixels on a few dozen rows (none of the blank ones) with their partners at every distance of
/// [lo, hi] (the whole plausible range when kurikaesi is 0, else from a fifth of it to it) and
/// lets each window vote for its clearly best distance. A stereogram gives a few sharp peaks, or
/// for smooth depth a band of them; noise and photographs give votes spread thinly, or none.
Survey survey(const Plane &plane, int kurikaesi, const std::vector<bool> &blank = {});

/// Columns each side of a pixel in the windows that the row search compares.
inline constexpr int kHalf = 3;

/// The row search: the distance of each pixel of a row, from lo to hi, or kNoMatch.
class RowMatcher
{
public:
    static constexpr std::int16_t kNoMatch = -1;

    /// spread: the picture's mean difference per pixel at an arbitrary distance (Survey).
    RowMatcher(const Plane &plane, int lo, int hi, int tolerance, int spread = 0);

    /// Fills out[0..width) for row y; above holds the distances found on the row above (empty
    /// for the first row). With keepCosts the costs that refine() needs are kept for it.
    void match(int y, std::span<const std::int16_t> above, std::span<std::int16_t> out, bool keepCosts);

    /// Sixteenths of a pixel in a refined distance.
    static constexpr int kSub = 16;

    /// Refines the distances found on row y to sixteenths of a pixel (kNoMatch stays): the nearest whole distance whose window cost is least, moved towards the
    /// cheaper neighbour where the costs around it say the repeat lies between two pixels.
    /// Cheapest right after match(y), whose costs it reuses. A sampled row counts in
    /// meanOffset().
    void refine(int y, std::span<const std::int16_t> distances, std::span<std::int16_t> fine, bool sample);

    /// The mean distance of the refined repeats from whole pixels, in sixteenths, over the
    /// steady pixels of the sampled rows: near 0 for a picture whose repeats are whole pixels
    /// (their costs rise alike on both sides), near a quarter pixel for one built finer.
    double meanOffset() const { return m_offsets ? double(m_offsetSum) / double(m_offsets) : 0.0; }

private:
    void setRow(int y);
    int columnCost(int c, int d) const;
    int spanCost(int first, int last, int d) const;
    int fundamental(int first, int last, int d, int cost, int limit) const;
    int windowCost(int x, int d) const;
    template <int N>
    void windowCosts(int x, int d, int *costs) const;
    template <bool Slide>
    void accumulate(int c, int gone);
    void searchAll(int x, bool slide);
    std::int16_t bestOfAll(int prefer, int up, int &cost) const;
    std::int16_t partialMatch(int prefer, int up, int least) const;
    void settleEdges(int from, int to, std::int16_t *out) const;
    void matchStart(int count, std::int16_t *out) const;
    void remember(int x, int d, const int *costs);
    template <bool Around>
    int keepRun(int x, int d, const std::int16_t *above, std::int16_t *out);
    const std::int16_t *kept(int k) const { return m_kept.data() + std::size_t(k) * m_keptStride; }
    void refineAt(int x, std::span<const std::int16_t> distances, std::span<std::int16_t> fine, bool cached,
                  long long &offsetSum, long long &offsets) const;
    static void betweenPixels(std::span<const std::int16_t> distances, std::span<std::int16_t> fine);

    const Plane &m_plane;
    int m_lo;
    int m_hi;
    int m_limit;  ///< largest window cost of a match
    int m_keep;   ///< largest window cost at which a surface goes on: twice the limit, or
                  ///< three tenths of an arbitrary distance's where that is more (a
                  ///< picture built finer, mono dots)
    int m_count;  ///< distances searched, lo to hi
    static constexpr int kCostBlock = 16;  ///< distances whose costs are worked out at once
    const std::uint8_t *m_rows[3] = {};
    std::vector<std::int16_t> m_costs;  ///< window cost of every distance at the last full search
                                        ///< (lo + i at i), to a whole block
    int m_from = 0, m_to = 0;           ///< the columns of a row that are searched
    long long m_offsetSum = 0, m_offsets = 0;
    // The window costs one nearer, at and one farther than the distance that the last row
    // matched found at each pixel (kept(0), kept(1), kept(2)), where it worked them out:
    // m_known holds the distance they surround, or kNoMatch.
    int m_knownRow = -1;
    static constexpr int kBlock = 8;  ///< pixels that keepRun() looks at at once
    std::vector<std::int16_t> m_known;
    std::size_t m_keptStride;
    std::vector<std::int16_t> m_kept;
};

} // namespace lumivex::engine::revealing

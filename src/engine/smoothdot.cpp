#include "smoothdepth.h"

#include "depth.h"
#include "linkrows.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lumivex::engine {

namespace {

// Fresh dots q sub-pixels wide: a drawn dot is given for q requests in a row, so that a row
// built at q times the width still has dots the size of an output pixel.
struct CellChooser
{
    links::DotChooser dots;
    int width;
    int left = 0;
    std::int32_t dot = 0;

    std::int32_t next()
    {
        if (left == 0) {
            dot = dots.next();
            left = width;
        }
        --left;
        return dot;
    }
};

// The sixteen dot colours with their components 16 bits apart, so that the sum of up to eight
// of them keeps each component apart.
constexpr std::array<std::uint64_t, 16> spreadColours()
{
    std::array<std::uint64_t, 16> spread{};
    for (int i = 0; i < 16; ++i) {
        const Packed c = links::kDotColours[i];
        spread[i] = static_cast<std::uint64_t>(redOf(c)) | static_cast<std::uint64_t>(greenOf(c)) << 16
                    | static_cast<std::uint64_t>(blueOf(c)) << 32;
    }
    return spread;
}
constexpr std::array<std::uint64_t, 16> kSpreadColours = spreadColours();

// The sums of two dots' spread colours, indexed by the dot at the lower address + 16 × the
// other (read as the low and high nibbles of their two bytes, the order of a little-endian
// word; on a big-endian machine the two are swapped, which leaves their sum the same).
constexpr std::array<std::uint64_t, 256> pairSums()
{
    std::array<std::uint64_t, 256> sums{};
    for (int i = 0; i < 256; ++i)
        sums[i] = kSpreadColours[i & 15] + kSpreadColours[i >> 4];
    return sums;
}
constexpr std::array<std::uint64_t, 256> kPairSums = pairSums();

// The sums of two dots' colours with red, green and blue 10 bits apart (room for the sum of
// four), indexed by the two dot bytes read as one 16-bit word: a pair is looked up without
// picking its nibbles apart. The word's byte order does not matter, as the sum is the same
// either way round; 0x0f0f is the largest word.
std::array<std::uint32_t, 0x0f10> narrowPairSums()
{
    std::array<std::uint32_t, 0x0f10> sums{};
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) {
            const Packed a = links::kDotColours[i], b = links::kDotColours[j];
            sums[i | j << 8] = static_cast<std::uint32_t>(redOf(a) + redOf(b))
                               | static_cast<std::uint32_t>(greenOf(a) + greenOf(b)) << 10
                               | static_cast<std::uint32_t>(blueOf(a) + blueOf(b)) << 20;
        }
    }
    return sums;
}
const std::array<std::uint32_t, 0x0f10> kNarrowPairSums = narrowPairSums();

// The average colours of every four dots, rounded, indexed by the dots a nibble each (their
// order does not matter): a column at four times the width is one look-up.
const Packed *fourDotAverages()
{
    static const std::vector<Packed> averages = [] {
        std::vector<Packed> all(1u << 16);
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto sum = [i](int (*of)(Packed)) {
                int total = 2;
                for (int shift = 0; shift < 16; shift += 4)
                    total += of(links::kDotColours[i >> shift & 15]);
                return total >> 2;
            };
            all[i] = pack(sum(redOf), sum(greenOf), sum(blueOf));
        }
        return all;
    }();
    return averages.data();
}

// The average colour of each Q dots (2 or 4), rounded: a column's dots read as one word, its
// pairs looked up in the narrow table.
template <int Q>
void averageDotsNarrow(const links::ByteDot *dots, int width, Packed *out)
{
    constexpr int bits = Q == 2 ? 1 : 2;
    constexpr std::uint32_t half = (Q / 2) * (1u | 1u << 10 | 1u << 20);
    const std::uint32_t *sums = kNarrowPairSums.data();
    const Packed *averages = Q == 4 ? fourDotAverages() : nullptr;
    for (int x = 0; x < width; ++x) {
        std::uint32_t sum = half;
        if constexpr (Q == 2) {
            std::uint16_t pair;
            std::memcpy(&pair, dots + 2 * x, sizeof pair);
            sum += sums[pair];
        } else {
            std::uint32_t four;
            std::memcpy(&four, dots + 4 * x, sizeof four);
            four |= four >> 4;  // bytes 0 and 2: two dots a nibble each
            out[x] = averages[(four & 0xffu) | (four >> 8 & 0xff00u)];
            continue;
        }
        out[x] = static_cast<Packed>((sum >> bits & 0xffu) | (sum >> (10 + bits) & 0xffu) << 8
                                     | (sum >> (20 + bits) & 0xffu) << 16);
    }
}

// The average colour of each Q dots, rounded, two dots to a table entry.
template <int Q>
void averageDots(const links::ByteDot *dots, int width, Packed *out)
{
    constexpr int bits = Q == 1 ? 0 : Q == 2 ? 1 : Q == 4 ? 2 : 3;
    const auto dot = [dots](int i) { return static_cast<unsigned>(dots[i]); };
    for (int x = 0; x < width; ++x) {
        std::uint64_t sum = (Q / 2) * 0x000100010001u;
        if constexpr (Q == 1)
            sum += kSpreadColours[dot(x)];
        else
            for (int p = 0; p < Q; p += 2) {
                std::uint16_t pair;  // two dots of 0..15, one a byte
                std::memcpy(&pair, dots + Q * x + p, sizeof pair);
                sum += kPairSums[(pair & 0x0fu) | (pair >> 4 & 0xf0u)];
            }
        sum >>= bits;
        out[x] = static_cast<Packed>((sum & 0xff) | (sum >> 8 & 0xff00) | (sum >> 16 & 0xff0000));
    }
}

// The row rightward of the choose strip, a column at a time: the q sub-pixels of a column
// share its offset, so they are copied as one block and the surface's steps are looked for
// once per column. from and to are multiples of Q; positions count from the row's strip.
template <int Q, class ColumnOffset>
void linkColumns(int from, int to, int last, ColumnOffset columnOffset, links::ByteDot *dots,
                 int &previousOffset, CellChooser &cells)
{
    int previous = previousOffset;
    for (int column = from / Q; column < to / Q; ++column) {
        const int x = column * Q;
        const int offset = columnOffset(column);
        if (offset < Q) {
            // Links shorter than a column (a depth strength near the repeat width) overlap
            // their own block: a sub-pixel at a time.
            links::linkDots<false, false>(x, x + Q, last, [offset](int) { return offset; }, dots, nullptr, previous,
                                          cells);
            continue;
        }
        const int t = x + offset;
        if (t + Q - 1 <= last)
            std::memcpy(dots + t, dots + x, Q);
        else
            for (int p = 0; p < Q && t + p <= last; ++p)
                dots[t + p] = dots[x + p];
        if (offset > previous) {
            // The surface steps back: these positions are reached by no link.
            const int fillEnd = std::min(t - 1, last);
            for (int i = std::max(x + previous, 0); i <= fillEnd; ++i)
                dots[i] = static_cast<links::ByteDot>(cells.next());
        }
        previous = offset;
    }
    previousOffset = previous;
}

} // namespace

void SmoothDot::begin(const DotParams &params, const SmoothOptions &options, int scanWidth, std::uint64_t seed)
{
    m_params = params;
    m_params.kurikaesi = limitParameter(params.kurikaesi);
    m_links.begin(params.kurikaesi, params.rittaido, options, scanWidth);
    // The shift carried from run to run is kept at the resolution it was found at.
    const int q = m_links.oversample();
    m_previousShift = m_previousShift * q / m_previousScale;
    m_previousScale = q;
    m_dots.resize(static_cast<std::size_t>(m_links.lastPosition()) + 1);
    m_dotThreshold = links::dotThreshold(params.mitudo);
    m_random.reseed(seed);
}

void SmoothDot::row(std::span<const std::uint16_t> depthRow, std::span<Packed> out)
{
    m_links.setRow(depthRow);
    const int last = m_links.lastPosition();
    const int start = m_links.start();
    const int k = m_links.repeat();
    const int visible = std::min(static_cast<int>(out.size()), m_links.scanWidth());
    links::ByteDot *dots = m_dots.data();
    links::DotChooser chooser{m_random, m_dotThreshold, m_params.mono};

    if (m_links.oversample() == 1 && start == 0) {
        // Whole pixels from the left: RandomDot's row, drawn straight to the picture.
        std::fill_n(dots, last + 1, links::ByteDot{});
        int previousOffset = k - m_previousShift;
        links::dotRow(k, last, visible, m_links.offsetsFrom(0), dots, out.data(), previousOffset, chooser);
        m_previousShift = k - previousOffset;
        m_random = chooser.random;
        return;
    }

    // The row from its own strip rightward, as RandomDot builds it from the left edge: the
    // strip a sub-pixel at a time up to a column's end, then a column at a time. The dots are
    // read when the row is done: a position is written after it is worked only when its
    // offset is 0 or less, a depth strength that reaches the repeat width.
    std::fill(dots + start, dots + last + 1, links::ByteDot{});
    int previousOffset = start == 0 ? k - m_previousShift : m_links.offsetAt(start);
    const int q = m_links.oversample();
    CellChooser cells{chooser, q};
    const int length = last + 1 - start;
    const int chooseEnd = std::clamp(k + 1, 0, length);
    const int columnsFrom = std::min((chooseEnd + q - 1) / q * q, length);
    const auto offsetAt = m_links.offsetsFrom(start);
    links::linkDots<true, false>(0, chooseEnd, length - 1, offsetAt, dots + start, nullptr, previousOffset, cells);
    links::linkDots<false, false>(chooseEnd, columnsFrom, length - 1, offsetAt, dots + start, nullptr, previousOffset,
                                  cells);
    const auto columnOffsets = m_links.columnsFrom(start / q);
    switch (q) {
    case 1: linkColumns<1>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells); break;
    case 2: linkColumns<2>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells); break;
    case 4: linkColumns<4>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells); break;
    default: linkColumns<8>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells);
    }
    if (start == 0)
        m_previousShift = k - previousOffset;
    m_random = cells.dots.random;

    // Left of the strip each position takes the dot of the position its link reaches, worked
    // from the strip outward: the same links as from the left, each constraint read the other
    // way, so that the picture's depth is the same on both sides.
    for (int a = start - 1; a >= 0; --a)
        dots[a] = dots[std::clamp(a + m_links.offsetAt(a), a + 1, last)];
    reduce(out.first(static_cast<std::size_t>(std::max(visible, 0))));
}

void SmoothDot::reduce(std::span<Packed> out) const
{
    const int bits = m_links.shiftBits();
    const int q = 1 << bits;
    const links::ByteDot *dots = m_dots.data();
    const int width = static_cast<int>(out.size());
    if (m_params.mono) {
        // Each pixel takes the dot at its centre. A fresh dot is q sub-pixels wide, one output
        // pixel, so it covers exactly one pixel centre wherever a link puts it: every dot is
        // drawn once, whole, black or white, at its position rounded to whole pixels. Where
        // the separation is d + f pixels, a share f of a row's copies lands d + 1 pixels on,
        // which the reveal's correlation reads back as the fraction. (A majority of the
        // sub-pixels with ties to black would drop a white dot copied half a pixel on;
        // error diffusion would add noise that does not repeat.)
        const int centre = q / 2;
        for (int x = 0; x < width; ++x)
            out[x] = links::kDotColours[static_cast<std::size_t>(dots[(x << bits) + centre])];
        return;
    }
    // Colour dots are averaged: a dot copied at a sub-pixel position blends into its
    // neighbours in the share it covers.
    switch (q) {
    case 1: averageDots<1>(dots, width, out.data()); break;
    case 2: averageDotsNarrow<2>(dots, width, out.data()); break;
    case 4: averageDotsNarrow<4>(dots, width, out.data()); break;
    default: averageDots<8>(dots, width, out.data());
    }
}

} // namespace lumivex::engine

#include "smoothdepth.h"

#include "depth.h"
#include "linkrows.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>
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

// The Q dots of a column as one unsigned word, the first dot in the lowest byte.
template <int Q>
using ColumnWord = std::conditional_t<Q == 1, std::uint8_t,
                                      std::conditional_t<Q == 2, std::uint16_t,
                                                         std::conditional_t<Q == 4, std::uint32_t, std::uint64_t>>>;

template <int Q>
ColumnWord<Q> loadColumn(const links::ByteDot *dots)
{
    ColumnWord<Q> word = 0;
    if constexpr (std::endian::native == std::endian::little)
        std::memcpy(&word, dots, Q);
    else
        for (int p = 0; p < Q; ++p)
            word |= static_cast<ColumnWord<Q>>(static_cast<ColumnWord<Q>>(dots[p]) << 8 * p);
    return word;
}

template <int Q>
void storeColumn(ColumnWord<Q> word, links::ByteDot *dots)
{
    if constexpr (std::endian::native == std::endian::little)
        std::memcpy(dots, &word, Q);
    else
        for (int p = 0; p < Q; ++p)
            dots[p] = static_cast<links::ByteDot>(word >> 8 * p);
}

// The colour of one output pixel from its column's Q dots. Mono: the dot at the column's
// centre (see SmoothDot::reduce). Colour: the average of the Q dots, rounded; two dots are
// looked up as one word in the table of pairs, four as one word in the table of averages.
template <int Q, bool Mono>
struct ColumnColour
{
    const Packed *averages = !Mono && Q == 4 ? fourDotAverages() : nullptr;

    Packed operator()(ColumnWord<Q> word) const
    {
        if constexpr (Mono || Q == 1)
            return links::kDotColours[word >> 8 * (Q / 2) & 0xffu];
        else if constexpr (Q == 2) {
            const std::uint32_t sum = (1u | 1u << 10 | 1u << 20) + kNarrowPairSums[word];
            return static_cast<Packed>((sum >> 1 & 0xffu) | (sum >> 11 & 0xffu) << 8 | (sum >> 21 & 0xffu) << 16);
        } else if constexpr (Q == 4) {
            word |= word >> 4;  // bytes 0 and 2: two dots a nibble each
            return averages[(word & 0xffu) | (word >> 8 & 0xff00u)];
        } else {
            std::uint64_t sum = (Q / 2) * 0x000100010001u;
            for (int p = 0; p < Q; p += 2) {
                const auto pair = static_cast<unsigned>(word >> 8 * p);  // two dots of 0..15, one a byte
                sum += kPairSums[(pair & 0x0fu) | (pair >> 4 & 0xf0u)];
            }
            sum >>= 3;
            return static_cast<Packed>((sum & 0xff) | (sum >> 8 & 0xff00) | (sum >> 16 & 0xff0000));
        }
    }
    Packed operator()(const links::ByteDot *dots) const { return (*this)(loadColumn<Q>(dots)); }
};

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

// Fresh dots for the positions first..last, which no link reaches. Out of line, so that the
// column loops keep their values in registers.
[[gnu::noinline]] void fillGap(int first, int last, links::ByteDot *dots, CellChooser &cells)
{
    for (int i = first; i <= last; ++i)
        dots[i] = static_cast<links::ByteDot>(cells.next());
}

// Columns from..to-1 of the row rightward of the choose strip when every link spans at least a
// column and lands within the dot row (positions beyond the last are spare room, never read):
// a column's sub-pixels are copied as one word, and the column is final once worked, as no
// later link or gap reaches back, so that Draw puts its pixel to out at once.
template <int Q, bool Mono, bool Draw, class ColumnOffset>
int linkColumnWords(int from, int to, int last, ColumnOffset columnOffset, links::ByteDot *dots, Packed *out,
                    int previous, CellChooser &cells)
{
    const ColumnColour<Q, Mono> colour;
    for (int column = from; column < to; ++column) {
        const int x = Q * column;
        const int offset = columnOffset(column);
        const ColumnWord<Q> word = loadColumn<Q>(dots + x);
        storeColumn<Q>(word, dots + x + offset);
        if (offset > previous) [[unlikely]]
            fillGap(std::max(x + previous, 0), std::min(x + offset - 1, last), dots, cells);
        previous = offset;
        if constexpr (Draw)
            out[column] = colour(word);
    }
    return previous;
}

// The row from its strip rightward as linkColumnWords works it, the choose strip included: a
// column there takes fresh dots in its empty places as one word, except where the surface steps
// back, which is worked a sub-pixel at a time in the order the fresh dots are drawn in. Columns
// 0 .. drawn-1 go to out.
template <int Q, bool Mono, class ColumnOffset, class Offset>
void linkWholeColumns(int length, int chooseEnd, ColumnOffset columnOffset, Offset offsetAt, links::ByteDot *dots,
                      Packed *out, int drawn, int &previousOffset, CellChooser &cells)
{
    const ColumnColour<Q, Mono> colour;
    const int last = length - 1;
    const int chosen = chooseEnd / Q;
    int previous = previousOffset;
    for (int column = 0; column < chosen; ++column) {
        const int x = Q * column;
        const int offset = columnOffset(column);
        if (offset > previous) {
            links::linkDots<true, false>(x, x + Q, last, offsetAt, dots, nullptr, previous, cells);
        } else {
            ColumnWord<Q> word = loadColumn<Q>(dots + x);
            for (int p = 0; p < Q; ++p)
                if ((word >> 8 * p & 0xffu) == 0)
                    word |= static_cast<ColumnWord<Q>>(static_cast<ColumnWord<Q>>(cells.next()) << 8 * p);
            storeColumn<Q>(word, dots + x);
            storeColumn<Q>(word, dots + x + offset);
            previous = offset;
        }
        if (column < drawn)
            out[column] = colour(dots + x);
    }
    int column = chosen;
    if (Q * column < chooseEnd) {
        // The column that holds the strip's end.
        const int x = Q * column;
        links::linkDots<true, false>(x, chooseEnd, last, offsetAt, dots, nullptr, previous, cells);
        links::linkDots<false, false>(chooseEnd, x + Q, last, offsetAt, dots, nullptr, previous, cells);
        if (column < drawn)
            out[column] = colour(dots + x);
        ++column;
    }
    const int columns = length / Q;
    const int drawnEnd = std::clamp(drawn, column, columns);
    previous = linkColumnWords<Q, Mono, true>(column, drawnEnd, last, columnOffset, dots, out, previous, cells);
    previousOffset = linkColumnWords<Q, Mono, false>(drawnEnd, columns, last, columnOffset, dots, out, previous, cells);
}

// Left of the strip, from right to left, each position takes the dot its link reaches; a link
// of a column or longer moves the column's sub-pixels as one word. Columns below `drawn` go
// to out.
template <int Q, bool Mono, class ColumnOffset>
void leftOfStrip(int strip, int last, ColumnOffset columnOffset, links::ByteDot *dots, Packed *out, int drawn)
{
    const ColumnColour<Q, Mono> colour;
    for (int column = strip - 1; column >= 0; --column) {
        const int x = Q * column;
        const int offset = columnOffset(column);
        if (offset >= Q && x + offset + Q - 1 <= last)
            storeColumn<Q>(loadColumn<Q>(dots + x + offset), dots + x);
        else
            for (int a = x + Q - 1; a >= x; --a)
                dots[a] = dots[std::clamp(a + offset, a + 1, last)];
        if (column < drawn)
            out[column] = colour(dots + x);
    }
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
    // Links of a column or longer that land within the row and a little room beyond it let a
    // row be worked a column at a time (the ordinary case; not a depth strength that reaches
    // the repeat width, nor a repeat wider than the row).
    const int positions = m_links.lastPosition() + 1;
    const int nearest = m_links.offsetOfDepth(kSmoothNear), farthest = m_links.offsetOfDepth(0);
    const int longest = std::max(nearest, farthest);
    m_wholeColumns = std::min(nearest, farthest) >= q && longest <= positions;
    m_dots.resize(static_cast<std::size_t>(positions) + (m_wholeColumns ? longest : 0));
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

    // The row from its own strip rightward, as RandomDot builds it from the left edge, then
    // left of the strip each position takes the dot of the position its link reaches, worked
    // from the strip outward: the same links as from the left, each constraint read the other
    // way, so that the picture's depth is the same on both sides.
    std::fill(dots + start, dots + last + 1, links::ByteDot{});
    int previousOffset = start == 0 ? k - m_previousShift : m_links.offsetAt(start);
    const int q = m_links.oversample();
    CellChooser cells{chooser, q};
    const int length = last + 1 - start;
    const int chooseEnd = std::clamp(k + 1, 0, length);
    const auto offsetAt = m_links.offsetsFrom(start);
    const int strip = start / q;  // the strip's first column
    if (m_wholeColumns) {
        // A column at a time, each pixel drawn as soon as its column is done.
        const int drawn = std::max(visible, 0);
        const auto work = [&](auto block, auto mono) {
            constexpr int Q = decltype(block)::value;
            constexpr bool Mono = decltype(mono)::value;
            linkWholeColumns<Q, Mono>(length, chooseEnd, m_links.columnsFrom(strip), offsetAt, dots + start,
                                      out.data() + std::min(strip, drawn), drawn - strip, previousOffset, cells);
            leftOfStrip<Q, Mono>(strip, last, m_links.columnsFrom(0), dots, out.data(), std::min(strip, drawn));
        };
        const auto withMono = [&](auto block) {
            if (m_params.mono)
                work(block, std::true_type{});
            else
                work(block, std::false_type{});
        };
        switch (q) {
        case 1: withMono(std::integral_constant<int, 1>{}); break;
        case 2: withMono(std::integral_constant<int, 2>{}); break;
        case 4: withMono(std::integral_constant<int, 4>{}); break;
        default: withMono(std::integral_constant<int, 8>{});
        }
    } else {
        // The strip a sub-pixel at a time up to a column's end, then a column at a time. The
        // dots are read when the row is done: a position is written after it is worked only
        // when its offset is 0 or less, a depth strength that reaches the repeat width.
        const int columnsFrom = std::min((chooseEnd + q - 1) / q * q, length);
        links::linkDots<true, false>(0, chooseEnd, length - 1, offsetAt, dots + start, nullptr, previousOffset, cells);
        links::linkDots<false, false>(chooseEnd, columnsFrom, length - 1, offsetAt, dots + start, nullptr,
                                      previousOffset, cells);
        const auto columnOffsets = m_links.columnsFrom(strip);
        switch (q) {
        case 1: linkColumns<1>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells); break;
        case 2: linkColumns<2>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells); break;
        case 4: linkColumns<4>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells); break;
        default: linkColumns<8>(columnsFrom, length, length - 1, columnOffsets, dots + start, previousOffset, cells);
        }
        for (int a = start - 1; a >= 0; --a)
            dots[a] = dots[std::clamp(a + m_links.offsetAt(a), a + 1, last)];
        reduce(out.first(static_cast<std::size_t>(std::max(visible, 0))));
    }
    if (start == 0)
        m_previousShift = k - previousOffset;
    m_random = cells.dots.random;
}

void SmoothDot::reduce(std::span<Packed> out) const
{
    // Mono: each pixel takes the dot at its centre. A fresh dot is q sub-pixels wide, one
    // output pixel, so it covers exactly one pixel centre wherever a link puts it: every dot is
    // drawn once, whole, black or white, at its position rounded to whole pixels. Where the
    // separation is d + f pixels, a share f of a row's copies lands d + 1 pixels on, which the
    // reveal's correlation reads back as the fraction. (A majority of the sub-pixels with ties
    // to black would drop a white dot copied half a pixel on; error diffusion would add noise
    // that does not repeat.) Colour dots are averaged: a dot copied at a sub-pixel position
    // blends into its neighbours in the share it covers.
    const auto draw = [&](auto block, auto mono) {
        constexpr int Q = decltype(block)::value;
        const ColumnColour<Q, decltype(mono)::value> colour;
        for (std::size_t x = 0; x < out.size(); ++x)
            out[x] = colour(m_dots.data() + Q * x);
    };
    const auto withMono = [&](auto block) {
        if (m_params.mono)
            draw(block, std::true_type{});
        else
            draw(block, std::false_type{});
    };
    switch (m_links.oversample()) {
    case 1: withMono(std::integral_constant<int, 1>{}); break;
    case 2: withMono(std::integral_constant<int, 2>{}); break;
    case 4: withMono(std::integral_constant<int, 4>{}); break;
    default: withMono(std::integral_constant<int, 8>{});
    }
}

} // namespace lumivex::engine

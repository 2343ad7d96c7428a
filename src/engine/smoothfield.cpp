#include "smoothdepth.h"

#include "depth.h"
#include "linkrows.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>

namespace lumivex::engine {

namespace {

constexpr std::uint32_t kRedBlue = 0x00ff00ffu;

// u + (v - u) × w / 256, rounded, for w in 0..256: red and blue, and green, in 16-bit lanes.
inline Packed blend(Packed u, Packed v, std::uint32_t w)
{
    const auto a = static_cast<std::uint32_t>(u), b = static_cast<std::uint32_t>(v);
    const std::uint32_t rb = ((a & kRedBlue) * (256 - w) + (b & kRedBlue) * w + 0x00800080u) >> 8 & kRedBlue;
    const std::uint32_t g = ((a >> 8 & 0xffu) * (256 - w) + (b >> 8 & 0xffu) * w + 0x80u) >> 8;
    return static_cast<Packed>(rb | g << 8);
}

// The field at the sub-pixels' centres: sub-pixel p of column x lies at x + (2p + 1 - q) / 2q,
// between the centres of two columns, and takes their colours blended by its distance to
// each (the edge columns reach beyond the row unchanged). Only positions no link reaches
// read it: the strip and the gaps. A row's field is sampled once, before its links are
// worked, so that the loops read a sub-pixel's field colour as they read its link colour.
template <int Q>
Packed sampleAt(const Packed *field, int width, int x, int p)
{
    if (x >= width)
        return kOutside;
    const int w = (2 * p + 1 - Q) * 128 / Q;  // in 256ths of a column, -112..112
    const Packed next = field[std::clamp(w < 0 ? x - 1 : x + 1, 0, width - 1)];
    return blend(field[x], next, static_cast<std::uint32_t>(w < 0 ? -w : w));
}

#if defined(__SSE2__)
// Columns x and x + 1 at Q = 2, 4 or 8 times the width. Sub-pixel p takes w = |2p + 1 - Q| parts
// in 2Q of its nearer neighbour (blend()'s weight, reduced): (own × (2Q - w) + neighbour × w
// + Q) / 2Q = own + (w × (neighbour - own) + Q) / 2Q, rounded down, worked on both columns'
// channels at once in signed 16-bit lanes. From one sub-pixel to the next w changes by 2.
template <int Q>
inline void sampleTwoColumns(const Packed *field, Packed *to)
{
    constexpr int bits = Q == 2 ? 2 : Q == 4 ? 3 : 4;  // 2Q
    const __m128i zero = _mm_setzero_si128();
    const auto widen = [&](const Packed *at) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(at)), zero);
    };
    const __m128i own = widen(field);
    const __m128i toLeft = _mm_sub_epi16(widen(field - 1), own), toRight = _mm_sub_epi16(widen(field + 1), own);
    const __m128i leftStep = _mm_add_epi16(toLeft, toLeft), rightStep = _mm_add_epi16(toRight, toRight);
    __m128i samples[Q];
    // Left half: w = Q - 1, Q - 3, ..., 1; right half: w = 1, 3, ..., Q - 1.
    __m128i part = _mm_add_epi16(_mm_mullo_epi16(toLeft, _mm_set1_epi16(Q - 1)), _mm_set1_epi16(Q));
    for (int p = 0; p < Q / 2; ++p, part = _mm_sub_epi16(part, leftStep))
        samples[p] = _mm_add_epi16(own, _mm_srai_epi16(part, bits));
    part = _mm_add_epi16(toRight, _mm_set1_epi16(Q));
    for (int p = Q / 2; p < Q; ++p, part = _mm_add_epi16(part, rightStep))
        samples[p] = _mm_add_epi16(own, _mm_srai_epi16(part, bits));
    const auto sample = [&](int p) { return samples[p]; };
    // Sub-pixels p and p + 1 of both columns, as [p, p + 1, p', p' + 1] (' the second column).
    __m128i pairs[Q / 2];
    for (int k = 0; k < Q / 2; ++k)
        pairs[k] = _mm_shuffle_epi32(_mm_packus_epi16(sample(2 * k), sample(2 * k + 1)), _MM_SHUFFLE(3, 1, 2, 0));
    const __m128i colour = _mm_set1_epi32(0x00ffffff);  // blend() leaves the top byte 0
    const auto put = [&](Packed *at, __m128i four) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(at), _mm_and_si128(four, colour));
    };
    if constexpr (Q == 2) {
        put(to, pairs[0]);
    } else {
        for (int c = 0; c < Q / 4; ++c) {
            put(to + 4 * c, _mm_unpacklo_epi64(pairs[2 * c], pairs[2 * c + 1]));
            put(to + Q + 4 * c, _mm_unpackhi_epi64(pairs[2 * c], pairs[2 * c + 1]));
        }
    }
}
#endif

/// The field's colour at every sub-pixel of columns 0..columns-1 (kOutside beyond the field).
template <int Q>
void sampleField(const Packed *field, int width, int columns, Packed *to)
{
    int x = 0;
    if constexpr (Q == 1) {
        // Each position its own column's colour.
        for (; x < width; ++x)
            to[x] = field[x] & 0x00ffffff;
    }
#if defined(__SSE2__)
    if constexpr (Q > 1) {
        // Away from the edges (which clamp their neighbours) two columns at a time. The
        // field is never wider than the columns.
        if (width >= 4) {
            for (int p = 0; p < Q; ++p)
                to[p] = sampleAt<Q>(field, width, 0, p);
            for (x = 1; x + 2 < width; x += 2)
                sampleTwoColumns<Q>(field + x, to + Q * x);
        }
    }
#endif
    for (; x < columns; ++x)
        for (int p = 0; p < Q; ++p)
            to[Q * x + p] = sampleAt<Q>(field, width, x, p);
}

// The sampled rows a run keeps: enough for the tiles people use, little beside a picture.
constexpr std::size_t kSampledRowsBytes = std::size_t{4} << 20;

// Tells field rows apart before they are compared in full: two running sums in four lanes,
// the second summing the first, folded with the width.
std::uint64_t rowKey(std::span<const Packed> row)
{
    std::array<std::uint32_t, 4> sum{}, sumOfSums{};
    const std::size_t whole = row.size() / 4 * 4;
#if defined(__SSE2__)
    __m128i lanes = _mm_setzero_si128(), lanesOfLanes = _mm_setzero_si128();
    for (std::size_t x = 0; x < whole; x += 4) {
        lanes = _mm_add_epi32(lanes, _mm_loadu_si128(reinterpret_cast<const __m128i *>(row.data() + x)));
        lanesOfLanes = _mm_add_epi32(lanesOfLanes, lanes);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i *>(sum.data()), lanes);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(sumOfSums.data()), lanesOfLanes);
#else
    for (std::size_t x = 0; x < whole; x += 4) {
        for (std::size_t i = 0; i < 4; ++i) {
            sum[i] += static_cast<std::uint32_t>(row[x + i]);
            sumOfSums[i] += sum[i];
        }
    }
#endif
    std::uint64_t key = row.size();
    const auto mix = [&key](std::uint32_t v) { key = (key ^ v) * 0x100000001b3u; };
    for (std::size_t i = 0; i < 4; ++i) {
        mix(sum[i]);
        mix(sumOfSums[i]);
    }
    for (std::size_t x = whole; x < row.size(); ++x)
        mix(static_cast<std::uint32_t>(row[x]));
    return key;
}

// The colours of a column's Q sub-pixels, two to a 64-bit word, so that a block is moved
// and averaged with few operations.
template <int Q>
struct Block
{
    static constexpr int kWords = (Q + 1) / 2;
    std::uint64_t words[kWords] = {};

    void load(const Packed *from) { std::memcpy(words, from, Q * sizeof(Packed)); }
    void store(Packed *to) const { std::memcpy(to, words, Q * sizeof(Packed)); }

    /// Whether links reached every sub-pixel (none holds 0).
    bool reached() const
    {
        bool all = true;
        for (const std::uint64_t w : words)
            all &= (w & 0xffffffffu) != 0 && (Q == 1 || (w >> 32) != 0);
        return all;
    }

    /// The sub-pixels no link reached (0) take the field's colours.
    void fill(const Packed *field)
    {
        Packed c[Q];
        store(c);
        for (int p = 0; p < Q; ++p)
            c[p] = c[p] != 0 ? c[p] : field[p];
        load(c);
    }

    /// The average colour, rounded: red and blue, and green, summed in 16-bit lanes.
    Packed average() const
    {
        constexpr std::uint64_t lanes = 0x00ff00ff00ff00ffu;
        constexpr int bits = Q == 1 ? 0 : Q == 2 ? 1 : Q == 4 ? 2 : 3;
        std::uint64_t rb = 0, g = 0;
        for (const std::uint64_t w : words) {
            rb += w & lanes;
            g += w >> 8 & lanes;
        }
        rb += rb >> 32;
        g += g >> 32;
        const std::uint64_t r = (rb + (Q / 2) * 0x00010001u) >> bits & kRedBlue;
        return static_cast<Packed>(r | ((g + Q / 2) >> bits & 0xffu) << 8);
    }
};

#if defined(__SSE2__)
// Four sub-pixels to an SSE2 register: the common oversamplings move, fill and average a
// column's block in a few instructions.
template <int Q>
    requires(Q % 4 == 0)
struct Block<Q>
{
    static constexpr int kRegisters = Q / 4;
    __m128i colours[kRegisters];

    void load(const Packed *from)
    {
        for (int i = 0; i < kRegisters; ++i)
            colours[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + 4 * i));
    }
    void store(Packed *to) const
    {
        for (int i = 0; i < kRegisters; ++i)
            _mm_storeu_si128(reinterpret_cast<__m128i *>(to + 4 * i), colours[i]);
    }
    void fill(const Packed *field)
    {
        for (int i = 0; i < kRegisters; ++i) {
            const __m128i gaps = _mm_cmpeq_epi32(colours[i], _mm_setzero_si128());
            const __m128i own = _mm_loadu_si128(reinterpret_cast<const __m128i *>(field + 4 * i));
            colours[i] = _mm_or_si128(colours[i], _mm_and_si128(gaps, own));
        }
    }
    Packed average() const
    {
        constexpr int bits = Q == 4 ? 2 : 3;
        const __m128i zero = _mm_setzero_si128();
        __m128i sum = zero;  // at most 8 × 255 in a lane
        for (const __m128i c : colours)
            sum = _mm_add_epi16(sum, _mm_add_epi16(_mm_unpacklo_epi8(c, zero), _mm_unpackhi_epi8(c, zero)));
        sum = _mm_add_epi16(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
        sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(Q / 2)), bits);
        return _mm_cvtsi128_si32(_mm_packus_epi16(sum, zero)) & 0xffffff;
    }
};
#endif

// Columns 0..to-1 from the strip on: each column's sub-pixels go to drawn and, along its link,
// to the colours of the column it reaches. Colours 0..last are clear (0) before and after.
template <int Q, class ColumnOffset>
void fieldColumns(int to, int last, ColumnOffset columnOffset, const Packed *field, Packed *colours, Packed *drawn)
{
    for (int x = 0; x < to; ++x) {
        const int offset = columnOffset(x);
        const Packed *at = colours + Q * x;
        Block<Q> block;
        block.load(at);
        if (offset >= Q) {
            // 0 marks a position no link has reached; a black field pixel is read afresh.
            // Blocks of four or eight are filled without a branch: whether links reached them all
            // changes from column to column on a slope and would be mispredicted.
            if constexpr (Q % 4 == 0)
                block.fill(field + Q * x);
            else if (!block.reached())
                block.fill(field + Q * x);
        } else {
            // Links shorter than a column overlap their own block: a sub-pixel at a time.
            Packed c[Q];
            for (int p = 0; p < Q; ++p) {
                const Packed v = at[p];
                c[p] = v != 0 ? v : field[Q * x + p];
                const auto t = static_cast<unsigned>(Q * x + p + offset);
                if (t <= static_cast<unsigned>(last))
                    colours[t] = c[p];
            }
            block.load(c);
        }
        if (offset >= Q) {
            const int t = Q * x + offset;
            if (t + Q - 1 <= last)
                block.store(colours + t);
            else {
                Packed c[Q];
                block.store(c);
                for (int p = 0; p < Q && t + p <= last; ++p)
                    colours[t + p] = c[p];
            }
        }
        block.store(drawn + Q * x);
        // No later column writes here (links do not point backwards): the block is left clear
        // for the next row.
        std::fill_n(colours + Q * x, Q, 0);
    }
    // Links reaching past the last column's block.
    if (Q * to <= last)
        std::fill(colours + std::max(Q * to, 0), colours + last + 1, 0);
}

// Left of the strip, from right to left, each position takes the colour its link reaches,
// within the row; black and positions outside the field are never carried. A link of a
// column or longer moves the column's sub-pixels as one block.
template <int Q, class ColumnOffset>
void leftOfStrip(int strip, int last, ColumnOffset columnOffset, const Packed *field, Packed *drawn)
{
    for (int x = strip - 1; x >= 0; --x) {
        const int offset = columnOffset(x);
#if defined(__SSE2__)
        if constexpr (Q == 4) {
            if (offset >= Q && Q * x + offset + Q - 1 <= last) {
                const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(drawn + Q * x + offset));
                const __m128i gaps = _mm_or_si128(_mm_cmpeq_epi32(c, _mm_setzero_si128()),
                                                  _mm_cmpeq_epi32(c, _mm_set1_epi32(kOutside)));
                const __m128i own = _mm_loadu_si128(reinterpret_cast<const __m128i *>(field + Q * x));
                const __m128i kept = _mm_or_si128(_mm_andnot_si128(gaps, c), _mm_and_si128(gaps, own));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(drawn + Q * x), kept);
                continue;
            }
        }
#endif
        for (int p = Q - 1; p >= 0; --p) {
            const int a = Q * x + p;
            const Packed c = drawn[std::clamp(a + offset, a + 1, last)];
            drawn[a] = c != 0 && c != kOutside ? c : field[a];
        }
    }
}

template <int Q>
void averageColumns(const Packed *drawn, int columns, Packed *out)
{
    int x = 0;
#if defined(__SSE2__)
    if constexpr (Q == 4) {
        // Four columns at a time: a block's two halves summed in 16-bit lanes, then the halves
        // of two blocks summed across, so that one pack gives four colours.
        const __m128i zero = _mm_setzero_si128();
        const auto halves = [&](int column) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(drawn + Q * column));
            return _mm_add_epi16(_mm_unpacklo_epi8(c, zero), _mm_unpackhi_epi8(c, zero));
        };
        const auto two = [&](int column) {
            const __m128i a = halves(column), b = halves(column + 1);
            const __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
            return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(2)), 2);
        };
        for (; x + 4 <= columns; x += 4) {
            const __m128i four = _mm_packus_epi16(two(x), two(x + 2));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), _mm_and_si128(four, _mm_set1_epi32(0x00ffffff)));
        }
    }
#endif
    for (; x < columns; ++x) {
        Block<Q> block;
        block.load(drawn + Q * x);
        out[x] = block.average();
    }
}

} // namespace

void SmoothField::begin(const FieldParams &params, const SmoothOptions &options, int scanWidth)
{
    m_links.begin(params.kurikaesi, params.rittaido, options, scanWidth);
    const std::size_t positions = static_cast<std::size_t>(m_links.lastPosition()) + 1;
    m_colours.assign(positions, 0);
    m_drawn.resize(positions);
    // Kept rows' buffers serve the next run of the same width; another width frees them.
    if (m_field.size() != positions)
        m_sampledRows.clear();
    m_field.resize(positions);
    m_sampledCount = 0;
    m_sampledBytes = 0;
    m_keeping = true;
}

template <int Q>
const Packed *SmoothField::sampledField(std::span<const Packed> fieldRow)
{
    const int columns = m_links.scanWidth() + 1;
    if (!m_keeping) {
        sampleField<Q>(fieldRow.data(), static_cast<int>(fieldRow.size()), columns, m_field.data());
        return m_field.data();
    }
    const std::uint64_t key = rowKey(fieldRow);
    for (std::size_t i = 0; i < m_sampledCount; ++i) {
        const SampledRow &kept = m_sampledRows[i];
        if (kept.key == key && std::equal(kept.row.begin(), kept.row.end(), fieldRow.begin(), fieldRow.end()))
            return kept.samples.data();
    }
    const std::size_t positions = m_field.size();
    const std::size_t bytes = (positions + fieldRow.size()) * sizeof(Packed);
    Packed *samples = m_field.data();
    if (m_sampledBytes + bytes <= kSampledRowsBytes) {
        if (m_sampledCount == m_sampledRows.size())
            m_sampledRows.emplace_back();
        SampledRow &kept = m_sampledRows[m_sampledCount++];
        kept.key = key;
        kept.row.assign(fieldRow.begin(), fieldRow.end());
        kept.samples.resize(positions);
        m_sampledBytes += bytes;
        samples = kept.samples.data();
    } else {
        // The set is full and this row is none of it: the field's rows differ down the page
        // (or repeat further apart than the set holds), so the rest of the run samples each row
        // afresh without keying or comparing it.
        m_keeping = false;
    }
    sampleField<Q>(fieldRow.data(), static_cast<int>(fieldRow.size()), columns, samples);
    return samples;
}

void SmoothField::row(std::span<const std::uint16_t> depthRow, std::span<const Packed> fieldRow,
                      std::span<Packed> out)
{
    m_links.setRow(depthRow);
    const int last = m_links.lastPosition();
    const int start = m_links.start();
    const int visible = std::max(std::min(static_cast<int>(out.size()), m_links.scanWidth()), 0);
    const int columns = m_links.scanWidth() + 1;
    const int fieldWidth = static_cast<int>(std::min(fieldRow.size(), static_cast<std::size_t>(columns)));
    const int q = m_links.oversample();

    if (q == 1 && start == 0) {
        // Whole pixels from the left: ColourField's row, drawn straight to the picture.
        std::fill_n(m_colours.data(), last + 1, 0);
        links::fieldRow(last, visible, fieldWidth, m_links.offsetsFrom(0), fieldRow.data(), m_colours.data(),
                        out.data());
        return;
    }

    const int strip = start / q;  // the strip's first column
    // The columns leave the colours clear for the next row unless a link points backwards.
    if (std::min(m_links.offsetOfDepth(0), m_links.offsetOfDepth(kSmoothNear)) < 0)
        std::fill(m_colours.data() + start, m_colours.data() + last + 1, 0);
    Packed *drawn = m_drawn.data();
    const auto run = [&](auto block) {
        constexpr int Q = decltype(block)::value;
        const Packed *field = sampledField<Q>(fieldRow.first(static_cast<std::size_t>(fieldWidth)));
        // The row's sub-pixels are all drawn before they are averaged, several columns at a time.
        fieldColumns<Q>(columns - strip, last - start, m_links.columnsFrom(strip), field + start,
                        m_colours.data() + start, drawn + start);
        if (strip > 0) {
            // As SmoothDot::row does left of the strip.
            leftOfStrip<Q>(strip, last, m_links.columnsFrom(0), field, drawn);
        }
        averageColumns<Q>(drawn, visible, out.data());
    };
    switch (q) {
    case 1: run(std::integral_constant<int, 1>{}); break;
    case 2: run(std::integral_constant<int, 2>{}); break;
    case 4: run(std::integral_constant<int, 4>{}); break;
    default: run(std::integral_constant<int, 8>{});
    }
}

} // namespace lumivex::engine

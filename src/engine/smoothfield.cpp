#include "smoothdepth.h"

#include "depth.h"
#include "linkrows.h"

#include <algorithm>
#include <array>
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
// read it: the strip and the gaps.
struct FieldSampler
{
    const Packed *field;
    int width;

    /// Sub-pixel p of column x at Q times the width: Q is known when compiled, so that the
    /// weight needs no division.
    template <int Q>
    Packed at(int x, int p) const
    {
        if (x >= width)
            return kOutside;
        const int w = (2 * p + 1 - Q) * 128 / Q;  // in 256ths of a column, -112..112
        const Packed next = field[std::clamp(w < 0 ? x - 1 : x + 1, 0, width - 1)];
        return blend(field[x], next, static_cast<std::uint32_t>(w < 0 ? -w : w));
    }

#if defined(__SSE2__)
    /// The four sub-pixels of column x at four times the width, blended in 16-bit lanes as
    /// blend() does.
    __m128i four(int x) const
    {
        if (x >= width)
            return _mm_set1_epi32(kOutside);
        const __m128i zero = _mm_setzero_si128();
        const int left = field[std::max(x - 1, 0)], right = field[std::min(x + 1, width - 1)];
        const __m128i own = _mm_set1_epi32(field[x]);
        const __m128i next = _mm_setr_epi32(left, left, right, right);
        // Weights 96, 32, 32, 96 of the neighbour; each lane's sum stays below 65536.
        const __m128i wNear = _mm_setr_epi16(96, 96, 96, 96, 32, 32, 32, 32);
        const __m128i wFar = _mm_setr_epi16(32, 32, 32, 32, 96, 96, 96, 96);
        const __m128i half = _mm_set1_epi16(128), all = _mm_set1_epi16(256);
        const auto mix = [&](__m128i a, __m128i b, __m128i w) {
            const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(a, _mm_sub_epi16(all, w)), _mm_mullo_epi16(b, w));
            return _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
        };
        const __m128i lo = mix(_mm_unpacklo_epi8(own, zero), _mm_unpacklo_epi8(next, zero), wNear);
        const __m128i hi = mix(_mm_unpackhi_epi8(own, zero), _mm_unpackhi_epi8(next, zero), wFar);
        // blend() leaves the top byte 0.
        return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0x00ffffff));
    }
#endif
};

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

    /// The sub-pixels no link reached (0) take the field's colours at column x.
    void fill(const FieldSampler &field, int x)
    {
        Packed c[Q];
        store(c);
        for (int p = 0; p < Q; ++p)
            c[p] = c[p] != 0 ? c[p] : field.at<Q>(x, p);
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
// Four sub-pixels in one SSE2 register: the common oversampling moves, checks and averages a
// column's block in a few instructions.
template <>
struct Block<4>
{
    __m128i colours = _mm_setzero_si128();

    void load(const Packed *from) { colours = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from)); }
    void store(Packed *to) const { _mm_storeu_si128(reinterpret_cast<__m128i *>(to), colours); }
    bool reached() const { return _mm_movemask_epi8(_mm_cmpeq_epi32(colours, _mm_setzero_si128())) == 0; }
    void fill(const FieldSampler &field, int x)
    {
        const __m128i gaps = _mm_cmpeq_epi32(colours, _mm_setzero_si128());
        colours = _mm_or_si128(colours, _mm_and_si128(gaps, field.four(x)));
    }
    Packed average() const
    {
        const __m128i zero = _mm_setzero_si128();
        __m128i sum = _mm_add_epi16(_mm_unpacklo_epi8(colours, zero), _mm_unpackhi_epi8(colours, zero));
        sum = _mm_add_epi16(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
        sum = _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(2)), 2);
        return _mm_cvtsi128_si32(_mm_packus_epi16(sum, zero)) & 0xffffff;
    }
};
#endif

template <int Q, bool Keep, bool Draw, class ColumnOffset>
void fieldColumns(int strip, int from, int to, int last, ColumnOffset columnOffset, const FieldSampler &field,
                  Packed *colours, Packed *drawn, Packed *out)
{
    for (int x = from; x < to; ++x) {
        const int offset = columnOffset(x);
        const Packed *at = colours + Q * x;
        Block<Q> block;
        block.load(at);
        if (offset >= Q) {
            // 0 marks a position no link has reached; a black field pixel is read afresh.
            // Four sub-pixels are filled without a branch: whether links reached them all
            // changes from column to column on a slope and would be mispredicted.
            if constexpr (Q == 4)
                block.fill(field, strip + x);
            else if (!block.reached())
                block.fill(field, strip + x);
        } else {
            // Links shorter than a column overlap their own block: a sub-pixel at a time.
            Packed c[Q];
            for (int p = 0; p < Q; ++p) {
                const Packed v = at[p];
                c[p] = v != 0 ? v : field.at<Q>(strip + x, p);
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
        if constexpr (Keep)
            block.store(drawn + Q * x);
        if constexpr (Draw)
            out[x] = block.average();
    }
}

// Left of the strip, from right to left, each position takes the colour its link reaches,
// within the row; black and positions outside the field are never carried. A link of a
// column or longer moves the column's sub-pixels as one block.
template <int Q, class ColumnOffset>
void leftOfStrip(int strip, int last, ColumnOffset columnOffset, const FieldSampler &field, Packed *drawn)
{
    for (int x = strip - 1; x >= 0; --x) {
        const int offset = columnOffset(x);
#if defined(__SSE2__)
        if constexpr (Q == 4) {
            if (offset >= Q && Q * x + offset + Q - 1 <= last) {
                const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(drawn + Q * x + offset));
                const __m128i gaps = _mm_or_si128(_mm_cmpeq_epi32(c, _mm_setzero_si128()),
                                                  _mm_cmpeq_epi32(c, _mm_set1_epi32(kOutside)));
                const __m128i kept = _mm_or_si128(_mm_andnot_si128(gaps, c), _mm_and_si128(gaps, field.four(x)));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(drawn + Q * x), kept);
                continue;
            }
        }
#endif
        for (int p = Q - 1; p >= 0; --p) {
            const int a = Q * x + p;
            const Packed c = drawn[std::clamp(a + offset, a + 1, last)];
            drawn[a] = c != 0 && c != kOutside ? c : field.at<Q>(x, p);
        }
    }
}

template <int Q>
void averageColumns(const Packed *drawn, int columns, Packed *out)
{
    for (int x = 0; x < columns; ++x) {
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
    m_colours.resize(positions);
    m_drawn.resize(positions);
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
    const FieldSampler field{fieldRow.data(), fieldWidth};
    std::fill(m_colours.data() + start, m_colours.data() + last + 1, 0);
    Packed *drawn = strip > 0 ? m_drawn.data() : nullptr;
    Packed *outFromStrip = visible > strip ? out.data() + strip : nullptr;
    const auto run = [&](auto block) {
        constexpr int Q = decltype(block)::value;
        // Drawn columns first, so that the loops test neither whether to draw nor to keep.
        const int drawnEnd = std::clamp(visible - strip, 0, columns - strip);
        const auto offsets = m_links.columnsFrom(strip);
        Packed *colours = m_colours.data() + start;
        if (drawn) {
            fieldColumns<Q, true, true>(strip, 0, drawnEnd, last - start, offsets, field, colours, drawn + start,
                                        outFromStrip);
            fieldColumns<Q, true, false>(strip, drawnEnd, columns - strip, last - start, offsets, field, colours,
                                         drawn + start, nullptr);
        } else {
            fieldColumns<Q, false, true>(strip, 0, drawnEnd, last - start, offsets, field, colours, nullptr,
                                         outFromStrip);
            fieldColumns<Q, false, false>(strip, drawnEnd, columns - strip, last - start, offsets, field, colours,
                                          nullptr, nullptr);
        }
        if (drawn) {
            // As SmoothDot::row does left of the strip.
            leftOfStrip<Q>(strip, last, m_links.columnsFrom(0), field, drawn);
            averageColumns<Q>(drawn, std::min(strip, visible), out.data());
        }
    };
    switch (q) {
    case 1: run(std::integral_constant<int, 1>{}); break;
    case 2: run(std::integral_constant<int, 2>{}); break;
    case 4: run(std::integral_constant<int, 4>{}); break;
    default: run(std::integral_constant<int, 8>{});
    }
}

} // namespace lumivex::engine

#pragma once

// The row loops of the random-dot and colour-field conversions, shared by the sixteen-level
// runs and the smooth ones. A loop takes the link offset of each column (repeat width - shift)
// from a small function object, so that a run of levels reads a sixteen-entry table and a
// smooth run its row of offsets, and both compile to the same tight loop.
// Internal to the engine.

#include "packedcolour.h"
#include "uniformrandom.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace lumivex::engine::links {

/// The sixteen dot colours (the exported DotPalette is a copy; the loops read this one).
inline constexpr std::array<Packed, 16> kDotColours = {
    pack(0, 0, 0),       pack(0, 0, 128),   pack(0, 128, 0),   pack(0, 128, 128),
    pack(128, 0, 0),     pack(128, 0, 128), pack(128, 128, 0), pack(192, 192, 192),
    pack(128, 128, 128), pack(0, 0, 255),   pack(0, 255, 0),   pack(0, 255, 255),
    pack(255, 0, 0),     pack(255, 0, 255), pack(255, 255, 0), pack(255, 255, 255),
};

/// The number of 24-bit draws that make a dot at this density (see DotChooser).
std::uint32_t dotThreshold(int mitudo);

/// A fresh dot: r = floor(draw × 101) against the density, then white in monochrome or a
/// second draw for one of the sixteen colours (black included). r < density holds exactly for
/// the draws below the threshold, so the first draw needs no floating-point work. A row works
/// on a copy of the generator, so that its state stays in registers rather than being written
/// back after every draw.
struct DotChooser
{
    UniformRandom random;
    std::uint32_t threshold;
    bool mono;

    std::int32_t next()
    {
        const bool dotted = random.nextBits() < threshold;
        if (mono)
            return 15 * static_cast<std::int32_t>(dotted);  // no branch on the draw
        return dotted ? static_cast<std::int32_t>(random.next() * 16.0f) : 0;
    }
};

/// A dot of a row kept a byte a position. Not a character type, so that the compiler need
/// not assume that writing one changes any other value.
enum class ByteDot : std::uint8_t {};

/// Links one stretch of a dot row, columns from..to-1 of a row whose last position is `last`.
/// Each column's dot goes to the column its link offset reaches; an offset larger than the
/// previous column's means the surface steps back, and the positions no link reaches get fresh
/// dots. Choose: the column may get a dot of its own (a copied dot stays, an empty or black
/// position gets a fresh one). Draw: the column's colour goes to out.
template <bool Choose, bool Draw, class OffsetAt, class Dot, class Chooser>
inline void linkDots(int from, int to, int last, OffsetAt offsetAt, Dot *dots, Packed *out,
                     int &previousOffset, Chooser &chooser)
{
    // The inner loop leaves for the gap fill, so that it keeps its values in registers.
    const unsigned lastPosition = static_cast<unsigned>(last);
    int previous = previousOffset;
    int x = from;
    while (x < to) {
        int linkOffset = previous;
        for (; x < to; ++x) {
            linkOffset = offsetAt(x);
            if constexpr (Choose) {
                if (dots[x] == Dot{})
                    dots[x] = static_cast<Dot>(chooser.next());
            }
            const Dot dot = dots[x];
            if constexpr (Draw)
                out[x] = kDotColours[static_cast<std::size_t>(dot)];
            const unsigned t = static_cast<unsigned>(x + linkOffset);
            if (t <= lastPosition)
                dots[t] = dot;
            if (linkOffset > previous)
                break;
            previous = linkOffset;
        }
        if (x < to) {
            const int fillEnd = std::min(x + linkOffset - 1, last);
            for (int i = std::max(x + previous, 0); i <= fillEnd; ++i)
                dots[i] = static_cast<Dot>(chooser.next());
            previous = linkOffset;
            ++x;
        }
    }
    previousOffset = previous;
}

/// One row of dots, positions 0..last (cleared by the caller): columns 0..k may get a dot of
/// their own, columns 0..visible-1 are drawn to out. Worked in up to three stretches so that
/// the inner loops test neither.
template <class OffsetAt, class Dot, class Chooser>
inline void dotRow(int k, int last, int visible, OffsetAt offsetAt, Dot *dots, Packed *out,
                   int &previousOffset, Chooser &chooser)
{
    const int chooseEnd = std::clamp(k + 1, 0, last + 1);
    const int split = std::min(chooseEnd, visible);
    const int rest = std::max(chooseEnd, visible);
    linkDots<true, true>(0, split, last, offsetAt, dots, out, previousOffset, chooser);
    if (chooseEnd < visible)
        linkDots<false, true>(split, rest, last, offsetAt, dots, out, previousOffset, chooser);
    else
        linkDots<true, false>(split, rest, last, offsetAt, dots, out, previousOffset, chooser);
    linkDots<false, false>(rest, last + 1, last, offsetAt, dots, out, previousOffset, chooser);
}

/// Links one stretch of a colour-field row. 0 marks a position no link has reached; a black
/// field pixel is read afresh as well. Inside: every column lies inside the field and is drawn.
template <bool Inside, class OffsetAt>
inline void linkField(int from, int to, int last, OffsetAt offsetAt, const Packed *field, int fieldWidth,
                      Packed *colours, Packed *out)
{
    const unsigned lastPosition = static_cast<unsigned>(last);
    for (int x = from; x < to; ++x) {
        const int linkOffset = offsetAt(x);
        // Selected without a branch: black field pixels make it unpredictable. The position
        // itself is never read again, so it need not be written back.
        Packed c = colours[x];
        if constexpr (Inside) {
            const Packed own = field[x];
            c = c != 0 ? c : own;
        } else if (c == 0)
            c = x < fieldWidth ? field[x] : kOutside;
        if (Inside || out)
            out[x] = c;
        const unsigned t = static_cast<unsigned>(x + linkOffset);
        if (t <= lastPosition)
            colours[t] = c;
    }
}

/// One colour-field row, positions 0..last (colours cleared by the caller): columns inside
/// both the field row and the drawn part take the fast stretch; the rest reads outside the
/// field or is not drawn.
template <class OffsetAt>
inline void fieldRow(int last, int visible, int fieldWidth, OffsetAt offsetAt, const Packed *field,
                     Packed *colours, Packed *out)
{
    const int fast = std::max(std::min(visible, fieldWidth), 0);
    linkField<true>(0, fast, last, offsetAt, field, fieldWidth, colours, out);
    linkField<false>(fast, visible, last, offsetAt, field, fieldWidth, colours, out);
    linkField<false>(std::max(visible, 0), last + 1, last, offsetAt, field, fieldWidth, colours, nullptr);
}

} // namespace lumivex::engine::links

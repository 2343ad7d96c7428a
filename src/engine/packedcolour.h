#pragma once

#include <cstdint>

namespace lumivex::engine {

/// A 24-bit colour packed as red + 256 × green + 65536 × blue (red in the lowest byte).
/// This is the form in which pictures hand their pixels to the conversions.
using Packed = std::int32_t;

/// What a point read outside a picture yields.
inline constexpr Packed kOutside = -1;

/// The widest run the conversions take: the last column they process is at most this, so a
/// row of a run has at most kMaxRunWidth + 1 positions (the conversions visit one column beyond
/// the last visible one). Their row buffers are sized to each run when it starts.
inline constexpr int kMaxRunWidth = 16384;

/// The document window's pictures are at most this many pixels wide; its row buffers hold one
/// position more, for the column beyond the last visible one.
inline constexpr int kMaxWidth = 1024;
inline constexpr int kRowCapacity = kMaxWidth + 1;

/// Packs three components (each 0..255).
constexpr Packed pack(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

/// The red, green and blue bytes of a packed colour. For the outside value -1 these are 255.
constexpr int redOf(Packed c) { return static_cast<int>(static_cast<std::uint32_t>(c) & 0xffu); }
constexpr int greenOf(Packed c) { return static_cast<int>((static_cast<std::uint32_t>(c) >> 8) & 0xffu); }
constexpr int blueOf(Packed c) { return static_cast<int>((static_cast<std::uint32_t>(c) >> 16) & 0xffu); }

} // namespace lumivex::engine

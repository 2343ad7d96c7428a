#pragma once

#include <cstdint>

namespace lumivex::engine {

/// A small uniform generator of single-precision values in [0, 1) (xoshiro128+).
/// The application seeds it from the clock at every start and continuation; tests and the
/// converter give a seed so that their pictures can be reproduced.
class UniformRandom
{
public:
    explicit UniformRandom(std::uint64_t seed = 0) { reseed(seed); }

    void reseed(std::uint64_t seed);

    /// The next value in [0, 1), with 24 random bits: nextBits() × 2^-24.
    float next() { return toUnit(nextBits()); }

    /// The next value as its 24 random bits, 0 .. 2^24 - 1.
    std::uint32_t nextBits()
    {
        const std::uint32_t result = m_s[0] + m_s[3];
        const std::uint32_t t = m_s[1] << 9;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = (m_s[3] << 11) | (m_s[3] >> 21);
        return result >> 8;
    }

    /// The value in [0, 1) of 24 random bits.
    static float toUnit(std::uint32_t bits) { return static_cast<float>(bits) * 0x1p-24f; }

    /// A seed from the system clock.
    static std::uint64_t clockSeed();

private:
    std::uint32_t m_s[4] = {};
};

} // namespace lumivex::engine

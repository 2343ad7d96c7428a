#include "uniformrandom.h"

#include <chrono>

namespace lumivex::engine {

namespace {

std::uint64_t splitMix(std::uint64_t &state)
{
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

} // namespace

void UniformRandom::reseed(std::uint64_t seed)
{
    // Spread the seed over the whole state; xoshiro must not start from all zeros.
    std::uint64_t state = seed;
    const std::uint64_t a = splitMix(state);
    const std::uint64_t b = splitMix(state);
    m_s[0] = static_cast<std::uint32_t>(a);
    m_s[1] = static_cast<std::uint32_t>(a >> 32);
    m_s[2] = static_cast<std::uint32_t>(b);
    m_s[3] = static_cast<std::uint32_t>(b >> 32);
    if ((m_s[0] | m_s[1] | m_s[2] | m_s[3]) == 0)
        m_s[0] = 1;
}

std::uint64_t UniformRandom::clockSeed()
{
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace lumivex::engine

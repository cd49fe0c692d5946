#pragma once

#include <cstdint>

namespace platterly::bench {

// A small generator of our own (splitmix64) rather than <random>: the standard distributions
// may differ between libraries, and the generated tree must be the same on every machine.
class SeededRandom
{
public:
    explicit SeededRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // A number in [0, bound); the small bias of the modulo does not matter here.
    std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>(next() % bound); }

    // True with the given chance in percent.
    bool percent(std::uint32_t chance) { return below(100) < chance; }

private:
    std::uint64_t m_state;
};

} // namespace platterly::bench

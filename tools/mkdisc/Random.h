#pragma once

#include <cstdint>
#include <string_view>

// A small deterministic generator (SplitMix64). Every picture gets its own generator seeded from
// its name, so the disc's bytes do not depend on the order in which the workers make the files.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed)
    {
    }

    static std::uint64_t SeedOf(std::string_view name, std::uint64_t salt = 0)
    {
        std::uint64_t hash = 1469598103934665603ull ^ salt; // FNV-1a
        for (unsigned char c : name) {
            hash ^= c;
            hash *= 1099511628211ull;
        }
        return hash;
    }

    std::uint64_t Next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Uniform(double low, double high) { return low + (high - low) * Unit(); }
    // Uniform integer in [low, high].
    int Int(int low, int high) { return low + int(Next() % std::uint64_t(high - low + 1)); }
    bool Chance(double probability) { return Unit() < probability; }

private:
    std::uint64_t m_state;
};

#pragma once

#include <cmath>
#include <cstdint>

// Smooth value noise on an integer lattice, about -1..1; a hash of the lattice point and the
// seed, so it needs no tables and gives the same values in every thread.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : m_seed(seed)
    {
    }

    static float Hash(std::int32_t x, std::int32_t y, std::uint32_t seed)
    {
        std::uint32_t h = std::uint32_t(x) * 0x8DA6B343u ^ std::uint32_t(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
        h ^= h >> 13;
        h *= 0x5BD1E995u;
        h ^= h >> 15;
        return float(h & 0xFFFFFF) * (2.0f / 16777215.0f) - 1.0f;
    }

    float At(float x, float y) const
    {
        float fx = std::floor(x), fy = std::floor(y);
        auto ix = std::int32_t(fx), iy = std::int32_t(fy);
        float tx = x - fx, ty = y - fy;
        tx = tx * tx * (3 - 2 * tx);
        ty = ty * ty * (3 - 2 * ty);
        float a = Hash(ix, iy, m_seed), b = Hash(ix + 1, iy, m_seed);
        float c = Hash(ix, iy + 1, m_seed), d = Hash(ix + 1, iy + 1, m_seed);
        float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
        return top + (bottom - top) * ty;
    }

    // Two octaves, for ground that should not look regular.
    float Fractal(float x, float y) const { return 0.67f * At(x, y) + 0.33f * At(x * 2.1f + 17.3f, y * 2.1f - 5.1f); }

private:
    std::uint32_t m_seed;
};

#pragma once

#include <array>
#include <cstdint>

// Smooth value noise, about -1..1: random values on an integer lattice, blended smoothly between
// the lattice points. The lattice is one shared 256 x 256 table; a seed shifts where in it a
// noise reads, so the values are the same in every thread and on every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : m_offset_x(int(seed & 0xFF))
        , m_offset_y(int(seed >> 8 & 0xFF))
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
        // floor() without the library call; the coordinates stay far inside int range.
        int ix = int(x) - (x < 0 && float(int(x)) != x);
        int iy = int(y) - (y < 0 && float(int(y)) != y);
        float tx = x - float(ix), ty = y - float(iy);
        tx = tx * tx * (3 - 2 * tx);
        ty = ty * ty * (3 - 2 * ty);
        const auto& t = Table();
        int x0 = (ix + m_offset_x) & 0xFF, x1 = (x0 + 1) & 0xFF;
        int y0 = ((iy + m_offset_y) & 0xFF) << 8, y1 = (y0 + 0x100) & 0xFF00;
        float a = t[std::size_t(y0 | x0)], b = t[std::size_t(y0 | x1)];
        float c = t[std::size_t(y1 | x0)], d = t[std::size_t(y1 | x1)];
        float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
        return top + (bottom - top) * ty;
    }

    // Two octaves, for ground that should not look regular.
    float Fractal(float x, float y) const { return 0.67f * At(x, y) + 0.33f * At(x * 2.1f + 17.3f, y * 2.1f - 5.1f); }

private:
    static const std::array<float, 65536>& Table()
    {
        static const std::array<float, 65536> table = [] {
            std::array<float, 65536> values {};
            for (int i = 0; i < 65536; ++i)
                values[std::size_t(i)] = Hash(i & 0xFF, i >> 8, 0x9E3779B9u);
            return values;
        }();
        return table;
    }

    int m_offset_x;
    int m_offset_y;
};

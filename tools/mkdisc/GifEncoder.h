#pragma once

#include "IndexedImage.h"

#include <cstdint>
#include <vector>

// Writes GIF89a files: a global colour table, optionally a transparent index, and for animations
// the looping application block and one graphic control block (delay, disposal) per frame.
class GifEncoder {
public:
    enum class Disposal : std::uint8_t {
        None = 0,
        Keep = 1,
        RestoreBackground = 2,
        RestorePrevious = 3,
    };

    struct Options {
        int transparent_index { -1 }; // -1: no transparent colour
        int loop_count { -1 };        // -1: no looping block; 0: loop for ever
    };

    GifEncoder(int width, int height, std::vector<PaletteColor> palette, Options options);

    // Rows stored top to bottom, or in the four passes of an interlaced image (every 8th row from
    // 0, every 8th from 4, every 4th from 2, every 2nd from 1).
    enum class RowOrder { Sequential, Interlaced };

    // Adds a frame placed at (left, top) of the logical screen; delay in hundredths of a second.
    void AddFrame(const IndexedImage& frame, int left, int top, int delay_cs = 0,
        Disposal disposal = Disposal::None, RowOrder order = RowOrder::Sequential);
    std::vector<std::uint8_t> Finish();

private:
    void PutU8(int value) { m_out.push_back(std::uint8_t(value)); }
    void PutU16(int value)
    {
        PutU8(value & 0xFF);
        PutU8(value >> 8 & 0xFF);
    }

    int m_width;
    int m_height;
    int m_table_bits { 1 }; // the colour table holds 2^m_table_bits entries
    Options m_options;
    bool m_wrote_loop { false };
    std::vector<std::uint8_t> m_out;
};

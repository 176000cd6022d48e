#pragma once

// A GIF writer for tests: builds files with chosen LZW quirks (deferred clear, early end code,
// repeated clear codes, odd sub-block sizes) that ordinary encoders never produce.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

struct LzwOptions {
    int min_code_size = 8;
    bool clear_when_full = true; // false: keep going with a full table (deferred clear)
    std::size_t end_after = SIZE_MAX; // emit the end code after this many pixels
    int leading_clears = 1;
    int clear_every = 0; // emit `clear_run` clear codes after every this many codes
    int clear_run = 1;
    int block_size = 255;
    bool end_code = true;
};

class BitWriter {
public:
    void Put(int code, int width)
    {
        m_acc |= std::uint64_t(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_out.push_back(std::uint8_t(m_acc));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }
    Bytes Finish()
    {
        if (m_bits > 0)
            m_out.push_back(std::uint8_t(m_acc));
        m_bits = 0;
        m_acc = 0;
        return std::move(m_out);
    }

private:
    Bytes m_out;
    std::uint64_t m_acc = 0;
    int m_bits = 0;
};

// The raw LZW code stream (without the code size byte and sub-blocks).
inline Bytes LzwEncode(const std::uint8_t* pixels, std::size_t count, const LzwOptions& options)
{
    const int m = options.min_code_size;
    const int clear = 1 << m;
    const int end = clear + 1;
    std::vector<std::uint16_t> table(4096 * 256, 0); // (prefix, byte) -> code, 0 = none
    int next = clear + 2; // encoder's next entry
    int dec_free = clear + 2; // the decoder's view: its next entry
    int width = m + 1;
    bool first = true;
    int codes_since_clear = 0;
    BitWriter bits;
    auto reset = [&] {
        std::fill(table.begin(), table.end(), 0);
        next = clear + 2;
        dec_free = clear + 2;
        width = m + 1;
        first = true;
        codes_since_clear = 0;
    };
    auto emit = [&](int code) {
        bits.Put(code, width);
        if (!first) {
            if (dec_free <= 4095) {
                ++dec_free;
                if (dec_free >= (1 << width) && width < 12)
                    ++width;
            }
        }
        first = false;
        ++codes_since_clear;
    };
    auto emit_clear = [&] {
        bits.Put(clear, width);
        reset();
    };
    for (int i = 0; i < options.leading_clears; ++i)
        emit_clear();
    std::size_t limit = count < options.end_after ? count : options.end_after;
    if (limit > 0) {
        int w = pixels[0];
        for (std::size_t i = 1; i < limit; ++i) {
            int c = pixels[i];
            std::uint16_t found = table[std::size_t(w) * 256 + std::size_t(c)];
            if (found) {
                w = found;
                continue;
            }
            emit(w);
            if (next <= 4095)
                table[std::size_t(w) * 256 + std::size_t(c)] = std::uint16_t(next++);
            w = c;
            if (next > 4095 && options.clear_when_full) {
                emit_clear();
            } else if (options.clear_every && codes_since_clear >= options.clear_every) {
                for (int k = 0; k < options.clear_run; ++k)
                    emit_clear();
            }
        }
        emit(w);
    }
    if (options.end_code)
        bits.Put(end, width);
    return bits.Finish();
}

inline void Put16(Bytes& out, int v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

inline void PutBlocks(Bytes& out, const Bytes& data, int block_size)
{
    for (std::size_t pos = 0; pos < data.size();) {
        std::size_t n = std::min<std::size_t>(std::size_t(block_size), data.size() - pos);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), data.begin() + std::ptrdiff_t(pos), data.begin() + std::ptrdiff_t(pos + n));
        pos += n;
    }
    out.push_back(0);
}

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> pixels; // display order
    std::vector<std::uint8_t> local_colors; // rgb triples; empty: none
    bool interlaced = false;
    bool control = false; // write a graphic control extension
    int disposal = 0;
    int delay = 0;
    int transparent = -1;
    LzwOptions lzw;
};

// Rows in the order an interlaced frame stores them.
inline std::vector<std::uint8_t> InterlaceRows(const std::vector<std::uint8_t>& pixels, int width, int height)
{
    std::vector<std::uint8_t> out;
    out.reserve(pixels.size());
    const int start[4] = { 0, 4, 2, 1 }, step[4] = { 8, 8, 4, 2 };
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            out.insert(out.end(), pixels.begin() + std::ptrdiff_t(y) * width,
                pixels.begin() + std::ptrdiff_t(y + 1) * width);
    return out;
}

inline int TableBits(std::size_t colors)
{
    int n = 0;
    while ((std::size_t(2) << n) < colors)
        ++n;
    return n;
}

struct File {
    int width = 0, height = 0;
    std::vector<std::uint8_t> global_colors; // rgb triples; empty: none
    int background = 0;
    int loops = -1; // >= 0: a looping extension with this count
    std::vector<Frame> frames;
    bool trailer = true;
    std::string signature = "GIF89a";
};

inline Bytes Write(const File& file)
{
    Bytes out(file.signature.begin(), file.signature.end());
    Put16(out, file.width);
    Put16(out, file.height);
    std::uint8_t packed = 0;
    if (!file.global_colors.empty())
        packed = std::uint8_t(0x80 | 0x70 | TableBits(file.global_colors.size() / 3));
    out.push_back(packed);
    out.push_back(std::uint8_t(file.background));
    out.push_back(0);
    if (!file.global_colors.empty()) {
        std::vector<std::uint8_t> table = file.global_colors;
        table.resize(std::size_t(3) << (TableBits(file.global_colors.size() / 3) + 1), 0);
        out.insert(out.end(), table.begin(), table.end());
    }
    if (file.loops >= 0) {
        const char* id = "NETSCAPE2.0";
        out.insert(out.end(), { 0x21, 0xFF, 11 });
        out.insert(out.end(), id, id + 11);
        out.insert(out.end(), { 3, 1 });
        Put16(out, file.loops);
        out.push_back(0);
    }
    for (const Frame& frame : file.frames) {
        if (frame.control) {
            out.insert(out.end(), { 0x21, 0xF9, 4 });
            out.push_back(std::uint8_t((frame.disposal & 7) << 2 | (frame.transparent >= 0 ? 1 : 0)));
            Put16(out, frame.delay);
            out.push_back(std::uint8_t(frame.transparent >= 0 ? frame.transparent : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        Put16(out, frame.left);
        Put16(out, frame.top);
        Put16(out, frame.width);
        Put16(out, frame.height);
        std::uint8_t fp = frame.interlaced ? 0x40 : 0;
        if (!frame.local_colors.empty())
            fp |= std::uint8_t(0x80 | TableBits(frame.local_colors.size() / 3));
        out.push_back(fp);
        if (!frame.local_colors.empty()) {
            std::vector<std::uint8_t> table = frame.local_colors;
            table.resize(std::size_t(3) << (TableBits(frame.local_colors.size() / 3) + 1), 0);
            out.insert(out.end(), table.begin(), table.end());
        }
        std::vector<std::uint8_t> ordered
            = frame.interlaced ? InterlaceRows(frame.pixels, frame.width, frame.height) : frame.pixels;
        out.push_back(std::uint8_t(frame.lzw.min_code_size));
        PutBlocks(out, LzwEncode(ordered.data(), ordered.size(), frame.lzw), frame.lzw.block_size);
    }
    if (file.trailer)
        out.push_back(0x3B);
    return out;
}

// A palette of `n` distinct colours.
inline std::vector<std::uint8_t> Palette(int n, unsigned seed = 1)
{
    std::vector<std::uint8_t> colors(std::size_t(n) * 3);
    for (int i = 0; i < n; ++i) {
        colors[std::size_t(i) * 3] = std::uint8_t(i * 37 + seed);
        colors[std::size_t(i) * 3 + 1] = std::uint8_t(i * 91 + 7 * seed);
        colors[std::size_t(i) * 3 + 2] = std::uint8_t(i);
    }
    return colors;
}

// Test pictures: noise, stripes and shapes of `colors` colours.
inline std::vector<std::uint8_t> Noise(int width, int height, int colors, unsigned seed)
{
    std::vector<std::uint8_t> px(std::size_t(width) * height);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& p : px) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        p = std::uint8_t(x % std::uint32_t(colors));
    }
    return px;
}

inline std::vector<std::uint8_t> Drawing(int width, int height, int colors, unsigned seed)
{
    std::vector<std::uint8_t> px(std::size_t(width) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int v = 0;
            if ((x + y * 3 + int(seed)) % 97 < 2 || (x * 5 - y + int(seed)) % 131 < 2)
                v = 1 + (x / 64 + y / 64) % (colors - 1);
            if ((x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2) < (width * height) / 16)
                v = (v + 3) % colors;
            px[std::size_t(y) * width + x] = std::uint8_t(v);
        }
    return px;
}

} // namespace giftest

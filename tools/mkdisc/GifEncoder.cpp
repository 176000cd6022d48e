#include "GifEncoder.h"

#include "LzwEncoder.h"

#include "DiscError.h"

#include <algorithm>
#include <string_view>

GifEncoder::GifEncoder(int width, int height, std::vector<PaletteColor> palette, Options options)
    : m_width(width)
    , m_height(height)
    , m_options(options)
{
    if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF)
        throw EDiscError("GIF size out of range");
    if (palette.empty() || palette.size() > 256)
        throw EDiscError("GIF palette must hold 1..256 colours");
    while ((1u << m_table_bits) < palette.size())
        ++m_table_bits;
    palette.resize(std::size_t(1) << m_table_bits, PaletteColor { 0, 0, 0 });

    for (char c : std::string_view("GIF89a"))
        PutU8(c);
    PutU16(width);
    PutU16(height);
    // Global table present, 8 bits per primary, not sorted, table size.
    PutU8(0x80 | 7 << 4 | (m_table_bits - 1));
    PutU8(options.transparent_index >= 0 ? options.transparent_index : 0); // background index
    PutU8(0);                                                             // square pixels
    for (const PaletteColor& c : palette) {
        PutU8(c.r);
        PutU8(c.g);
        PutU8(c.b);
    }
}

void GifEncoder::AddFrame(const IndexedImage& frame, int left, int top, int delay_cs, Disposal disposal, RowOrder order)
{
    if (left < 0 || top < 0 || frame.width < 1 || frame.height < 1 || left + frame.width > m_width
        || top + frame.height > m_height)
        throw EDiscError("GIF frame outside the logical screen");
    if (m_options.loop_count >= 0 && !m_wrote_loop) {
        PutU8(0x21);
        PutU8(0xFF);
        PutU8(11);
        for (char c : std::string_view("NETSCAPE2.0"))
            PutU8(c);
        PutU8(3);
        PutU8(1);
        PutU16(m_options.loop_count);
        PutU8(0);
        m_wrote_loop = true;
    }
    bool transparent = m_options.transparent_index >= 0;
    if (transparent || delay_cs > 0 || disposal != Disposal::None) {
        PutU8(0x21);
        PutU8(0xF9);
        PutU8(4);
        PutU8(int(disposal) << 2 | (transparent ? 1 : 0));
        PutU16(delay_cs);
        PutU8(transparent ? m_options.transparent_index : 0);
        PutU8(0);
    }
    PutU8(0x2C);
    PutU16(left);
    PutU16(top);
    PutU16(frame.width);
    PutU16(frame.height);
    PutU8(order == RowOrder::Interlaced ? 0x40 : 0); // no local table

    std::vector<std::uint8_t> interlaced;
    if (order == RowOrder::Interlaced) {
        interlaced.reserve(frame.pixels.size());
        static constexpr int starts[] = { 0, 4, 2, 1 }, steps[] = { 8, 8, 4, 2 };
        for (int pass = 0; pass < 4; ++pass)
            for (int y = starts[pass]; y < frame.height; y += steps[pass])
                interlaced.insert(interlaced.end(), frame.pixels.begin() + std::ptrdiff_t(y) * frame.width,
                    frame.pixels.begin() + std::ptrdiff_t(y + 1) * frame.width);
    }
    int min_code_size = m_table_bits < 2 ? 2 : m_table_bits;
    PutU8(min_code_size);
    std::vector<std::uint8_t> codes
        = LzwEncoder(min_code_size).Encode(order == RowOrder::Interlaced ? interlaced : frame.pixels);
    for (std::size_t pos = 0; pos < codes.size(); pos += 255) {
        std::size_t n = std::min<std::size_t>(255, codes.size() - pos);
        PutU8(int(n));
        m_out.insert(m_out.end(), codes.begin() + pos, codes.begin() + pos + n);
    }
    PutU8(0);
}

std::vector<std::uint8_t> GifEncoder::Finish()
{
    PutU8(0x3B);
    return std::move(m_out);
}

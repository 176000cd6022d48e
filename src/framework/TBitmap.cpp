#include "framework/TBitmap.h"

#include "framework/Exception.h"
#include "framework/TStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace {

int StrideOf(int width, int bits)
{
    return int(((std::int64_t(width) * bits + 31) / 32) * 4);
}

std::vector<TColor> DefaultPalette(TPixelFormat format)
{
    if (format == TPixelFormat::pf1bit)
        return { clBlack, clWhite };
    if (format == TPixelFormat::pf8bit) {
        std::vector<TColor> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[std::size_t(i)] = RGB(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i));
        return grey;
    }
    return {};
}

std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t U16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

[[noreturn]] void Invalid()
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

} // namespace

TBitmap::TBitmap()
    : m_canvas(this)
{
}

TBitmap::TBitmap(const TBitmap& other)
    : TGraphic()
    , m_canvas(this)
{
    *this = other;
}

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this == &other)
        return *this;
    m_format = other.m_format;
    m_width = other.m_width;
    m_height = other.m_height;
    m_stride = other.m_stride;
    m_bits = other.m_bits;
    m_palette = other.m_palette;
    m_transparent_color = other.m_transparent_color;
    TransparentMode = other.TransparentMode;
    SetTransparent(other.Transparent());
    m_converted_valid = false;
    Changed();
    return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept
    : TGraphic()
    , m_canvas(this)
{
    *this = std::move(other);
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept
{
    if (this == &other)
        return *this;
    m_format = other.m_format;
    m_width = std::exchange(other.m_width, 0);
    m_height = std::exchange(other.m_height, 0);
    m_stride = std::exchange(other.m_stride, 0);
    m_bits = std::move(other.m_bits);
    m_palette = std::move(other.m_palette);
    m_transparent_color = other.m_transparent_color;
    TransparentMode = other.TransparentMode;
    SetTransparent(other.Transparent());
    m_converted_valid = false;
    other.m_converted_valid = false;
    Changed();
    return *this;
}

TBitmap::~TBitmap() = default;

int TBitmap::BitsPerPixel(TPixelFormat format)
{
    switch (format) {
    case TPixelFormat::pf1bit:
        return 1;
    case TPixelFormat::pf8bit:
        return 8;
    case TPixelFormat::pf24bit:
        return 24;
    case TPixelFormat::pf32bit:
        return 32;
    }
    return 24;
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height)
        return;
    if (std::int64_t(width) * height > kMaxPixels)
        throw EOutOfMemory("Out of memory");
    // Keep what fits of the old pixels, as resizing a bitmap does.
    int stride = StrideOf(width, BitsPerPixel(m_format));
    std::vector<std::uint8_t> bits(std::size_t(stride) * std::size_t(height), 0);
    if (m_format == TPixelFormat::pf32bit)
        for (std::size_t i = 3; i < bits.size(); i += 4)
            bits[i] = 0xFF;
    int copy = std::min(stride, m_stride);
    for (int y = 0; y < std::min(height, m_height); ++y)
        std::memcpy(bits.data() + std::size_t(y) * stride, m_bits.data() + std::size_t(y) * m_stride, std::size_t(copy));
    m_bits = std::move(bits);
    m_width = width;
    m_height = height;
    m_stride = stride;
    if (m_palette.empty())
        m_palette = DefaultPalette(m_format);
    Modified();
}

std::uint8_t* TBitmap::ScanLine(int y)
{
    m_converted_valid = false;
    return m_bits.data() + std::size_t(y) * m_stride;
}

void TBitmap::Modified()
{
    m_converted_valid = false;
    Changed();
}

void TBitmap::SetPalette(std::vector<TColor> palette)
{
    m_palette = std::move(palette);
    Modified();
}

TColor TBitmap::TransparentColor() const
{
    if (TransparentMode == TTransparentMode::tmFixed && m_transparent_color != clDefault)
        return m_transparent_color;
    if (m_width == 0 || m_height == 0)
        return clDefault;
    return PixelToColor(Pixels().At(0, m_height - 1));
}

void TBitmap::SetTransparentColor(TColor color)
{
    m_transparent_color = color;
    TransparentMode = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    Changed();
}

const PixelBuffer& TBitmap::Pixels() const
{
    if (m_format == TPixelFormat::pf32bit) {
        m_converted = PixelBuffer::View(reinterpret_cast<Pixel*>(const_cast<std::uint8_t*>(m_bits.data())), m_width,
            m_height, m_stride / 4);
        return m_converted;
    }
    if (m_converted_valid)
        return m_converted;
    m_converted.Resize(m_width, m_height);
    std::vector<Pixel> lut(m_palette.size());
    for (std::size_t i = 0; i < lut.size(); ++i)
        lut[i] = ColorToPixel(m_palette[i]);
    auto lookup = [&](unsigned index) { return index < lut.size() ? lut[index] : 0xFF000000u; };
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* row = ScanLine(y);
        Pixel* out = m_converted.Row(y);
        switch (m_format) {
        case TPixelFormat::pf1bit:
            for (int x = 0; x < m_width; ++x)
                out[x] = lookup(row[x >> 3] >> (7 - (x & 7)) & 1);
            break;
        case TPixelFormat::pf8bit:
            for (int x = 0; x < m_width; ++x)
                out[x] = lookup(row[x]);
            break;
        case TPixelFormat::pf24bit:
            for (int x = 0; x < m_width; ++x)
                out[x] = 0xFF000000u | row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
            break;
        case TPixelFormat::pf32bit:
            break;
        }
    }
    m_converted_valid = true;
    return m_converted;
}

std::uint8_t TBitmap::NearestIndex(Pixel pixel) const
{
    int best = 0;
    long best_distance = std::numeric_limits<long>::max();
    int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
    for (std::size_t i = 0; i < m_palette.size() && i < 256; ++i) {
        int dr = r - GetRValue(m_palette[i]), dg = g - GetGValue(m_palette[i]), db = b - GetBValue(m_palette[i]);
        long distance = long(dr) * dr + long(dg) * dg + long(db) * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = int(i);
            if (distance == 0)
                break;
        }
    }
    return std::uint8_t(best);
}

void TBitmap::StoreFromPixels(const PixelBuffer& pixels)
{
    Pixel last = 0;
    std::uint8_t last_index = NearestIndex(0);
    auto index_of = [&](Pixel p) {
        if (p != last) {
            last = p;
            last_index = NearestIndex(p);
        }
        return last_index;
    };
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* row = m_bits.data() + std::size_t(y) * m_stride;
        const Pixel* in = pixels.Row(y);
        switch (m_format) {
        case TPixelFormat::pf1bit:
            std::memset(row, 0, std::size_t(m_stride));
            for (int x = 0; x < m_width; ++x)
                if (index_of(in[x]) & 1)
                    row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
            break;
        case TPixelFormat::pf8bit:
            for (int x = 0; x < m_width; ++x)
                row[x] = index_of(in[x]);
            break;
        case TPixelFormat::pf24bit:
            for (int x = 0; x < m_width; ++x) {
                row[3 * x] = std::uint8_t(in[x]);
                row[3 * x + 1] = std::uint8_t(in[x] >> 8);
                row[3 * x + 2] = std::uint8_t(in[x] >> 16);
            }
            break;
        case TPixelFormat::pf32bit:
            std::memcpy(row, in, std::size_t(m_width) * 4);
            break;
        }
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == m_format)
        return;
    PixelBuffer pixels = Pixels(); // a copy, independent of the old storage
    m_format = format;
    m_stride = StrideOf(m_width, BitsPerPixel(format));
    m_bits.assign(std::size_t(m_stride) * std::size_t(m_height), 0);
    if (format == TPixelFormat::pf1bit || format == TPixelFormat::pf8bit) {
        if (m_palette.empty() || (format == TPixelFormat::pf1bit && m_palette.size() != 2))
            m_palette = DefaultPalette(format);
    } else {
        m_palette.clear();
    }
    StoreFromPixels(pixels);
    Modified();
}

PixelBuffer* TBitmap::Lock()
{
    if (m_width == 0 || m_height == 0)
        return nullptr;
    return const_cast<PixelBuffer*>(&Pixels());
}

void TBitmap::Unlock(bool modified, Rect)
{
    if (!modified)
        return;
    if (m_format != TPixelFormat::pf32bit) {
        StoreFromPixels(m_converted);
        m_converted_valid = true; // the converted copy is exactly what was drawn
    }
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, Rect rect)
{
    if (Empty())
        return;
    const PixelBuffer& pixels = Pixels();
    if (Transparent())
        canvas.DrawPixelsTransparent(rect, pixels, pixels.Bounds(), TransparentColor());
    else
        canvas.DrawPixels(rect, pixels, pixels.Bounds());
}

void TBitmap::LoadFromStream(TStream& stream)
{
    std::uint8_t file_header[14];
    if (stream.Read(file_header, 14) != 14 || file_header[0] != 'B' || file_header[1] != 'M')
        Invalid();
    std::uint32_t bits_offset = U32(file_header + 10);
    std::uint8_t info[40] = {};
    if (stream.Read(info, 4) != 4)
        Invalid();
    std::uint32_t header_size = U32(info);
    std::int64_t width, height;
    int bits, planes;
    std::uint32_t compression = 0, colors_used = 0;
    int palette_entry = 4;
    if (header_size == 12) { // the old core header
        if (stream.Read(info + 4, 8) != 8)
            Invalid();
        width = U16(info + 4);
        height = std::int16_t(U16(info + 6));
        planes = U16(info + 8);
        bits = U16(info + 10);
        palette_entry = 3;
    } else if (header_size >= 40 && header_size <= 124) {
        if (stream.Read(info + 4, 36) != 36)
            Invalid();
        std::vector<std::uint8_t> rest(header_size - 40);
        if (!rest.empty() && stream.Read(rest.data(), std::int64_t(rest.size())) != std::int64_t(rest.size()))
            Invalid();
        width = std::int32_t(U32(info + 4));
        height = std::int32_t(U32(info + 8));
        planes = U16(info + 12);
        bits = U16(info + 14);
        compression = U32(info + 16);
        colors_used = U32(info + 32);
    } else {
        Invalid();
    }
    bool top_down = height < 0;
    height = height < 0 ? -height : height;
    if (planes != 1 || compression != 0 || width <= 0 || height <= 0 || width > 32768 || height > 32768)
        Invalid();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Invalid();

    std::vector<TColor> palette;
    if (bits <= 8) {
        std::size_t count = colors_used ? colors_used : std::size_t(1) << bits;
        if (count > (std::size_t(1) << bits))
            Invalid();
        std::vector<std::uint8_t> entries(count * std::size_t(palette_entry));
        if (stream.Read(entries.data(), std::int64_t(entries.size())) != std::int64_t(entries.size()))
            Invalid();
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = entries.data() + i * std::size_t(palette_entry);
            palette.push_back(RGB(e[2], e[1], e[0]));
        }
    }
    std::int64_t consumed = 14 + std::int64_t(header_size) + std::int64_t(palette.size()) * palette_entry;
    if (bits_offset > consumed) {
        std::vector<std::uint8_t> gap(std::size_t(bits_offset - consumed));
        if (stream.Read(gap.data(), std::int64_t(gap.size())) != std::int64_t(gap.size()))
            Invalid();
    }

    int file_stride = StrideOf(int(width), bits);
    std::vector<std::uint8_t> file_bits(std::size_t(file_stride) * std::size_t(height));
    if (stream.Read(file_bits.data(), std::int64_t(file_bits.size())) != std::int64_t(file_bits.size()))
        Invalid();

    TPixelFormat format = bits == 1 ? TPixelFormat::pf1bit
        : bits <= 8                 ? TPixelFormat::pf8bit
        : bits == 24                ? TPixelFormat::pf24bit
                                    : TPixelFormat::pf32bit;
    m_format = format;
    m_width = int(width);
    m_height = int(height);
    m_stride = StrideOf(m_width, BitsPerPixel(format));
    m_bits.assign(std::size_t(m_stride) * std::size_t(m_height), 0);
    m_palette = palette;
    if (format == TPixelFormat::pf8bit)
        m_palette.resize(std::max<std::size_t>(m_palette.size(), 1), clBlack);
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* in = file_bits.data() + std::size_t(top_down ? y : m_height - 1 - y) * file_stride;
        std::uint8_t* out = m_bits.data() + std::size_t(y) * m_stride;
        if (bits == 4) {
            for (int x = 0; x < m_width; ++x)
                out[x] = (x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
        } else {
            std::memcpy(out, in, std::size_t(std::min(file_stride, m_stride)));
        }
        if (bits == 32)
            for (int x = 0; x < m_width; ++x)
                out[4 * x + 3] = 0xFF;
    }
    Modified();
}

void TBitmap::SaveToStream(TStream& stream) const
{
    int bits = BitsPerPixel(m_format);
    std::uint32_t palette_bytes = std::uint32_t(m_palette.size() * 4);
    if (bits > 8)
        palette_bytes = 0;
    std::uint32_t offset = 14 + 40 + palette_bytes;
    std::uint32_t image_bytes = std::uint32_t(m_stride) * std::uint32_t(m_height);
    std::vector<std::uint8_t> out;
    out.reserve(offset + image_bytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + image_bytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, std::uint32_t(m_width));
    Put32(out, std::uint32_t(m_height));
    Put16(out, 1);
    Put16(out, std::uint16_t(bits));
    Put32(out, 0);
    Put32(out, image_bytes);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, bits <= 8 ? std::uint32_t(m_palette.size()) : 0);
    Put32(out, 0);
    if (bits <= 8)
        for (TColor c : m_palette) {
            out.push_back(GetBValue(c));
            out.push_back(GetGValue(c));
            out.push_back(GetRValue(c));
            out.push_back(0);
        }
    for (int y = m_height - 1; y >= 0; --y) {
        const std::uint8_t* row = ScanLine(y);
        out.insert(out.end(), row, row + m_stride);
    }
    stream.WriteBuffer(out.data(), std::int64_t(out.size()));
}

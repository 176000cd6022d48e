#include "imaging/TGIFSubImage.h"

#include "framework/TBitmap.h"
#include "imaging/TGIFImage.h"

#include <algorithm>

#include <cstring>
#include <new>

TGIFSubImage::TGIFSubImage(TGIFImage* image)
    : TGIFItem(image)
    , m_color_map(image)
{
}

TGIFSubImage::~TGIFSubImage() = default;

void TGIFSubImage::Clear()
{
    m_left = m_top = m_width = m_height = 0;
    m_packed = 0;
    m_color_map.Clear();
    m_pixels.reset();
    m_extensions.Clear();
    m_graphic_control = nullptr;
    m_transparent = false;
}

int TGIFSubImage::TransparentColorIndex() const
{
    return m_graphic_control ? m_graphic_control->TransparentColorIndex() : 0;
}

const TGIFColorMap& TGIFSubImage::ActiveColorMap() const
{
    if (!m_color_map.Empty())
        return m_color_map;
    if (m_image && !m_image->Header().ColorMap().Empty())
        return m_image->Header().ColorMap();
    return m_color_map;
}

void TGIFSubImage::ReadExtensions(GifByteReader& reader)
{
    int byte = reader.TryReadU8();
    while (byte >= 0 && byte != ',' && byte != ';') {
        if (byte != '!') {
            Warning("Invalid extension introducer");
            break;
        }
        std::unique_ptr<TGIFExtension> extension = TGIFExtension::Create(reader, this, m_image);
        if (!extension)
            throw GIFException("Unknown extension type");
        reader.Seek(reader.Position() - 1); // the reader of the extension takes the "!" itself
        extension->LoadFromReader(reader);
        TGIFExtension& added = m_extensions.Add(std::move(extension));
        if (auto* control = dynamic_cast<TGIFGraphicControlExtension*>(&added)) {
            if (!m_graphic_control)
                m_graphic_control = control;
            if (control->Transparent())
                m_transparent = true;
        }
        byte = reader.TryReadU8();
    }
    if (byte >= 0)
        reader.Seek(reader.Position() - 1);
}

void TGIFSubImage::LoadFromReader(GifByteReader& reader, GifLzwDecoder& decoder)
{
    Clear();
    ReadExtensions(reader);
    int next = reader.Peek();
    if (next < 0 || next == ';' || next == 0)
        return; // extensions that no image follows: a frame without pixels

    std::uint8_t descriptor[10];
    reader.ReadBytes(descriptor, 10); // the separator is not tested again
    m_left = std::uint16_t(descriptor[1] | descriptor[2] << 8);
    m_top = std::uint16_t(descriptor[3] | descriptor[4] << 8);
    m_width = std::uint16_t(descriptor[5] | descriptor[6] << 8);
    m_height = std::uint16_t(descriptor[7] | descriptor[8] << 8);
    m_packed = descriptor[9];
    if (m_width == 0 || m_height == 0) {
        m_width = std::uint16_t(m_image->Header().Width());
        m_height = std::uint16_t(m_image->Header().Height());
        Warning("Image exceeds Logical Screen size");
    }
    if (m_packed & 0x80)
        m_color_map.LoadFromReader(reader, 2 << (m_packed & 7), "Invalid number of colors specified in Image Descriptor");
    Decode(reader, decoder);
}

void TGIFSubImage::Decode(GifByteReader& reader, GifLzwDecoder& decoder)
{
    const std::size_t count = DataSize();
    if (count == 0)
        return; // the logical screen itself has no area
    const bool interlaced = Interlaced();
    // Interlaced frames are decoded in file order first and then put into display order.
    m_image->ReservePixels(interlaced ? 2 * count : count);
    m_pixels.reset(new (std::nothrow) std::uint8_t[count + GifLzwDecoder::kSlack]);
    if (!m_pixels)
        throw EOutOfMemory("Out of memory");
    std::unique_ptr<std::uint8_t[]> decoded;
    if (interlaced) {
        decoded.reset(new (std::nothrow) std::uint8_t[count + GifLzwDecoder::kSlack]);
        if (!decoded)
            throw EOutOfMemory("Out of memory");
    }
    std::uint8_t fill = m_transparent ? std::uint8_t(TransparentColorIndex()) : 0;
    GifLzwDecoder::WarningSink warn = [this](const char* message) { Warning(message); };
    decoder.Decode(reader, interlaced ? decoded.get() : m_pixels.get(), count, fill, warn);
    if (interlaced) {
        // Passes: rows 0, 8, 16, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...
        static constexpr int kStart[4] = { 0, 4, 2, 1 };
        static constexpr int kStep[4] = { 8, 8, 4, 2 };
        const std::uint8_t* source = decoded.get();
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < m_height; y += kStep[pass]) {
                std::memcpy(m_pixels.get() + std::size_t(y) * m_width, source, m_width);
                source += m_width;
            }
    }
}

// Rendering --------------------------------------------------------------------------------------

TBitmap& TGIFSubImage::Bitmap()
{
    if (!m_bitmap || (m_mask_needed && m_transparent))
        Render();
    return *m_bitmap;
}

bool TGIFSubImage::HasMask()
{
    if (m_mask_needed && m_transparent)
        Render();
    return m_has_mask;
}

void TGIFSubImage::FreeRendering()
{
    m_bitmap.reset();
    m_mask.clear();
    m_has_mask = false;
    m_mask_needed = true;
    m_palette.clear();
    m_palette_valid = false;
}

const std::vector<TColor>& TGIFSubImage::Palette()
{
    if (m_palette_valid)
        return m_palette;
    if (m_image->DoDither())
        m_palette = TGIFImage::DitherPalette();
    else if (!m_color_map.Empty()) {
        m_palette.resize(std::size_t(m_color_map.Count()));
        const std::uint8_t* rgb = m_color_map.Data();
        for (std::size_t i = 0; i < m_palette.size(); ++i)
            m_palette[i] = RGB(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    } else
        m_palette = m_image->Palette();
    m_palette_valid = true;
    return m_palette;
}

namespace {

// A channel value onto the 6 levels of the colour cube.
inline int CubeLevel(int v) { return (v + 3) / 51; }
inline int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

} // namespace

void TGIFSubImage::Render()
{
    auto bitmap = std::make_unique<TBitmap>();
    std::vector<TColor> palette = Palette();
    palette.resize(256, clBlack);
    const bool make_mask = m_transparent && !m_has_mask;
    const int width = m_width;
    const int height = m_height;
    try {
        bitmap->SetPixelFormat(TPixelFormat::pf8bit);
        bitmap->SetPalette(palette);
        bitmap->SetSize(width, height);
        if (make_mask)
            m_mask.assign(std::size_t(MaskStride()) * height, 0);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Failed to allocate memory for GIF DIB");
    }
    if (Empty()) {
        m_bitmap = std::move(bitmap);
        m_mask_needed = false;
        return;
    }
    const int transparent_index = m_transparent ? TransparentColorIndex() : -1;
    const int mask_stride = MaskStride();
    bool any_masked = false;
    if (!m_image->DoDither()) {
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* source = Row(y);
            std::memcpy(bitmap->ScanLine(y), source, std::size_t(width));
            if (make_mask) {
                std::uint8_t* mask_row = m_mask.data() + std::size_t(y) * mask_stride;
                for (int x = 0; x < width; ++x)
                    if (source[x] == transparent_index) {
                        mask_row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
                        any_masked = true;
                    }
            }
        }
    } else {
        // Floyd-Steinberg onto the 6 x 6 x 6 cube, rows in alternating direction.
        const TGIFColorMap& map = ActiveColorMap();
        if (map.Empty())
            throw GIFException("Color table is empty");
        int lut[256][3];
        for (int i = 0; i < 256; ++i) {
            int index = i < map.Count() ? i : 0; // beyond the table: colour 0
            const std::uint8_t* c = map.Data() + 3 * index;
            lut[i][0] = c[0];
            lut[i][1] = c[1];
            lut[i][2] = c[2];
        }
        int fill_index = 0;
        if (transparent_index >= 0) {
            const int* c = lut[transparent_index & 0xFF];
            fill_index = CubeLevel(c[0]) * 36 + CubeLevel(c[1]) * 6 + CubeLevel(c[2]);
        }
        std::vector<int> errors_this(std::size_t(width + 2) * 3, 0), errors_next(std::size_t(width + 2) * 3, 0);
        for (int y = 0; y < height; ++y) {
            const bool forward = (y & 1) == 0;
            const std::uint8_t* source = Row(y);
            std::uint8_t* target = bitmap->ScanLine(y);
            std::uint8_t* mask_row = make_mask ? m_mask.data() + std::size_t(y) * mask_stride : nullptr;
            std::fill(errors_next.begin(), errors_next.end(), 0);
            const int dir = forward ? 1 : -1;
            for (int i = 0; i < width; ++i) {
                const int x = forward ? i : width - 1 - i;
                const int index = source[x];
                if (index == transparent_index) {
                    target[x] = std::uint8_t(fill_index);
                    if (mask_row) {
                        mask_row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
                        any_masked = true;
                    }
                    continue;
                }
                int level[3];
                for (int c = 0; c < 3; ++c) {
                    int value = Clamp255(lut[index][c] + errors_this[std::size_t(x + 1) * 3 + c]);
                    level[c] = CubeLevel(value);
                    int error = value - level[c] * 51;
                    errors_this[std::size_t(x + 1 + dir) * 3 + c] += (error * 7 + 8) >> 4;
                    errors_next[std::size_t(x + 1 - dir) * 3 + c] += (error * 3 + 8) >> 4;
                    errors_next[std::size_t(x + 1) * 3 + c] += (error * 5 + 8) >> 4;
                    errors_next[std::size_t(x + 1 + dir) * 3 + c] += (error + 8) >> 4;
                }
                target[x] = std::uint8_t(level[0] * 36 + level[1] * 6 + level[2]);
            }
            std::swap(errors_this, errors_next);
        }
    }
    bitmap->Modified();
    if (make_mask) {
        m_has_mask = any_masked; // a mask with no bit set is not kept: the frame draws opaquely
        if (!any_masked)
            m_mask.clear();
    }
    m_mask_needed = false;
    m_bitmap = std::move(bitmap);
}

void TGIFSubImage::Draw(TCanvas& canvas, Rect rect, bool transparent, bool tile)
{
    if (rect.IsEmpty())
        return;
    TBitmap& bitmap = Bitmap();
    const PixelBuffer& pixels = bitmap.Pixels();
    const bool masked = transparent && m_transparent && HasMask();
    auto draw_one = [&](Rect target) {
        if (masked)
            canvas.DrawPixelsMasked(target, pixels, pixels.Bounds(), m_mask.data(), MaskStride());
        else
            canvas.DrawPixels(target, pixels, pixels.Bounds());
    };
    if (!tile) {
        draw_one(rect);
        return;
    }
    if (m_width == 0 || m_height == 0)
        return;
    CanvasState saved(canvas);
    canvas.IntersectClip(rect);
    for (int y = rect.top; y < rect.bottom; y += m_height)
        for (int x = rect.left; x < rect.right; x += m_width)
            draw_one(Rect::FromSize(x, y, m_width, m_height));
}

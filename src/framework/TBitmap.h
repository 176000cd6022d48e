#pragma once

#include "framework/TCanvas.h"
#include "framework/TGraphic.h"

#include <cstdint>
#include <vector>

enum class TPixelFormat { pf1bit, pf8bit, pf24bit, pf32bit };
enum class TTransparentMode { tmAuto, tmFixed };

// A device-independent bitmap in its own pixel format: rows top-down, each padded to 4 bytes;
// 24-bit rows in blue, green, red order; 32-bit pixels 0xAARRGGBB; 1 and 8 bits index the palette.
// Its canvas draws in any format (other formats are converted around each drawing operation).
class TBitmap : public TGraphic, private CanvasSurface {
public:
    TBitmap();
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    // Takes the other bitmap's pixels over without copying them; the other is left empty.
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(TBitmap&& other) noexcept;
    ~TBitmap() override;

    const char* ClassName() const override { return "TBitmap"; }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBitmap>(*this); }

    // The most pixels one picture may have: 16384 x 16384, 1 GiB at 32 bits per pixel. A bitmap of
    // more raises EOutOfMemory instead of being attempted; the GIF frames of one image together,
    // a decoded JPEG and the picture tool's output keep to the same number.
    static constexpr std::int64_t kMaxPixels = std::int64_t(1) << 28;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    // Raises EOutOfMemory for more than kMaxPixels.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, m_height); }
    void SetHeight(int height) { SetSize(m_width, height); }
    TPixelFormat PixelFormat() const { return m_format; }
    // Converts the pixels to the new format (to the nearest palette entry for 1 and 8 bits).
    void SetPixelFormat(TPixelFormat format);
    static int BitsPerPixel(TPixelFormat format);

    // The raw bytes of row y; writing through it is allowed (the drawing cache is dropped).
    std::uint8_t* ScanLine(int y);
    const std::uint8_t* ScanLine(int y) const { return m_bits.data() + std::size_t(y) * m_stride; }
    int RowBytes() const { return m_stride; }

    const std::vector<TColor>& Palette() const { return m_palette; }
    void SetPalette(std::vector<TColor> palette);

    TCanvas& Canvas() { return m_canvas; }

    TTransparentMode TransparentMode { TTransparentMode::tmAuto };
    // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);

    void Draw(TCanvas& canvas, Rect rect) override;
    // The BMP file format: 1, 4, 8, 24 and 32 bits, uncompressed; anything else, or a file that ends
    // early, raises EInvalidGraphic "Bitmap image is not valid".
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    void Assign(const TBitmap& other) { *this = other; }

    // The pixels as 32-bit pixels (a cached conversion for other formats).
    const PixelBuffer& Pixels() const;
    // Called after writing rows through ScanLine, so drawing sees the new pixels.
    void Modified();

private:
    PixelBuffer* Lock() override;
    void Unlock(bool modified, Rect drawn) override;
    void StoreFromPixels(const PixelBuffer& pixels);
    std::uint8_t NearestIndex(Pixel pixel) const;

    TPixelFormat m_format { TPixelFormat::pf24bit };
    int m_width { 0 };
    int m_height { 0 };
    int m_stride { 0 };
    std::vector<std::uint8_t> m_bits;
    std::vector<TColor> m_palette;
    TColor m_transparent_color { clDefault };
    TCanvas m_canvas;
    mutable PixelBuffer m_converted; // 32-bit copy of a non-32-bit bitmap
    mutable bool m_converted_valid { false };
};

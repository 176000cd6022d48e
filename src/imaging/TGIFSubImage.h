#pragma once

#include "imaging/GifLzwDecoder.h"
#include "imaging/TGIFColorMap.h"
#include "imaging/TGIFExtension.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;
class TCanvas;

// One frame: the extensions before it, its image descriptor, local colour table and pixels (one
// colour index per pixel, rows top to bottom in display order).
class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;

    void LoadFromReader(GifByteReader& reader, GifLzwDecoder& decoder);
    void Clear();

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rect BoundsRect() const { return Rect::FromSize(m_left, m_top, m_width, m_height); }
    bool Interlaced() const { return m_packed & 0x40; }
    bool Empty() const { return !m_pixels || m_width == 0 || m_height == 0; }
    bool Transparent() const { return m_transparent; }
    const std::uint8_t* Data() const { return m_pixels.get(); }
    const std::uint8_t* Row(int y) const { return m_pixels.get() + std::size_t(y) * std::size_t(m_width); }
    std::size_t DataSize() const { return std::size_t(m_width) * std::size_t(m_height); }

    TGIFExtensionList& Extensions() { return m_extensions; }
    const TGIFExtensionList& Extensions() const { return m_extensions; }
    // The first graphic control extension of the frame, or none.
    TGIFGraphicControlExtension* GraphicControlExtension() const { return m_graphic_control; }
    int TransparentColorIndex() const;

    TGIFLocalColorMap& LocalColorMap() { return m_color_map; }
    // The local table when it has entries, else the global one when it has, else the empty local.
    const TGIFColorMap& ActiveColorMap() const;

    // The frame's rendering (made on first need and cached) and its 1-bit transparency mask: rows
    // padded to 16 bits, most significant bit first, set where the pixel is transparent.
    TBitmap& Bitmap();
    bool HasMask();
    const std::uint8_t* Mask() { return HasMask() ? m_mask.data() : nullptr; }
    int MaskStride() const { return ((m_width + 15) / 16) * 2; }
    // The frame palette (cached): the dither palette, the local table's colours or the image's.
    const std::vector<TColor>& Palette();
    // Draws the frame into `rect` (canvas coordinates): transparent pixels left out when
    // `transparent`, repeated across the rectangle at its own size when `tile`.
    void Draw(TCanvas& canvas, Rect rect, bool transparent, bool tile);
    // Drops renderings, masks and palettes.
    void FreeRendering();

private:
    void ReadExtensions(GifByteReader& reader);
    void Decode(GifByteReader& reader, GifLzwDecoder& decoder);

    std::uint16_t m_left { 0 };
    std::uint16_t m_top { 0 };
    std::uint16_t m_width { 0 };
    std::uint16_t m_height { 0 };
    std::uint8_t m_packed { 0 };
    TGIFLocalColorMap m_color_map;
    std::unique_ptr<std::uint8_t[]> m_pixels;
    TGIFExtensionList m_extensions;
    TGIFGraphicControlExtension* m_graphic_control { nullptr };
    bool m_transparent { false };

    std::unique_ptr<TBitmap> m_bitmap;
    std::vector<std::uint8_t> m_mask;
    bool m_has_mask { false };
    bool m_mask_needed { true };
    std::vector<TColor> m_palette;
    bool m_palette_valid { false };

    void Render();
};

using TGIFImageList = TGIFList<TGIFSubImage>;

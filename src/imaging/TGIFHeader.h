#pragma once

#include "imaging/TGIFColorMap.h"

#include <cstdint>

// The signature, the logical screen descriptor and the global colour table.
class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image)
        : TGIFItem(image)
        , m_color_map(image)
    {
    }

    void LoadFromReader(GifByteReader& reader);
    void Clear();

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetWidth(int width) { m_width = std::uint16_t(width); }
    void SetHeight(int height) { m_height = std::uint16_t(height); }
    std::uint8_t Packed() const { return m_packed; }
    int BackgroundColorIndex() const { return m_background_index; }
    std::uint8_t AspectRatio() const { return m_aspect; }
    TGIFGlobalColorMap& ColorMap() { return m_color_map; }
    const TGIFGlobalColorMap& ColorMap() const { return m_color_map; }
    // The colour at the background colour index ("Invalid color index" when it lies outside).
    TColor BackgroundColor() const { return m_color_map.Color(m_background_index); }

private:
    std::uint16_t m_width { 0 };
    std::uint16_t m_height { 0 };
    std::uint8_t m_packed { 0 };
    std::uint8_t m_background_index { 0 };
    std::uint8_t m_aspect { 0 };
    TGIFGlobalColorMap m_color_map;
};

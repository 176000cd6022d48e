#include "platform/Color.h"

#include <array>

TColor ColorToRGB(TColor color)
{
    if ((color & 0x80000000u) == 0)
        return color & 0xFFFFFF;
    // The classic desktop scheme, indexed by system colour number.
    static constexpr std::array<TColor, 25> system_colors = {
        RGB(212, 208, 200), RGB(58, 110, 165), RGB(10, 36, 106), RGB(128, 128, 128), RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106), RGB(255, 255, 255),
        RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0), RGB(212, 208, 200),
        RGB(255, 255, 255), RGB(64, 64, 64), RGB(212, 208, 200), RGB(0, 0, 0), RGB(255, 255, 225),
    };
    std::size_t index = color & 0xFF;
    return index < system_colors.size() ? system_colors[index] : clBlack;
}

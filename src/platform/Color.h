#pragma once

#include <cstdint>

// A colour as the program writes it: red in the low byte, green in the second, blue in the third.
// Values with the high bit set name system colours (clBtnFace, ...), resolved by ColorToRGB.
using TColor = std::uint32_t;

// A pixel as pixel buffers store it: 0xAARRGGBB, so that in memory the bytes run blue, green, red,
// alpha, the order of the platform's 32-bit device-independent bitmaps.
using Pixel = std::uint32_t;

constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return TColor(r) | TColor(g) << 8 | TColor(b) << 16;
}
constexpr std::uint8_t GetRValue(TColor c) { return c & 0xFF; }
constexpr std::uint8_t GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNavy = 0x800000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours: 0x80000000 | index of the platform's system colour table.
constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor cl3DDkShadow = 0x80000015;
constexpr TColor cl3DLight = 0x80000016;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;

// Resolves a system colour to its RGB value (the classic desktop scheme); others pass through.
TColor ColorToRGB(TColor color);

constexpr Pixel ColorToPixel(TColor rgb)
{
    return 0xFF000000u | (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}
constexpr TColor PixelToColor(Pixel p)
{
    return (p >> 16 & 0xFF) | (p & 0xFF00) | (p & 0xFF) << 16;
}

#pragma once

#include "Drawing.h"

// The colours of the layout: wheat, straw and earth, with one muted green for what can be pressed.
namespace Palette {

constexpr Rgb Parchment { 243, 235, 214 };
constexpr Rgb ParchmentDeep { 233, 220, 188 };
constexpr Rgb Paper { 251, 247, 236 };      // plain light ground behind text
constexpr Rgb Straw { 233, 215, 166 };
constexpr Rgb Wheat { 218, 191, 128 };
constexpr Rgb WheatDeep { 197, 162, 96 };
constexpr Rgb Clay { 160, 120, 72 };
constexpr Rgb Earth { 122, 86, 50 };
constexpr Rgb EarthDark { 84, 58, 35 };
constexpr Rgb Ink { 60, 42, 26 };
constexpr Rgb Cream { 252, 245, 224 };
constexpr Rgb Leaf { 112, 140, 66 };
constexpr Rgb LeafDeep { 80, 106, 44 };
constexpr Rgb LeafLine { 58, 78, 30 };
constexpr Rgb LeafLight { 176, 204, 112 };
constexpr Rgb Muted { 176, 160, 128 };     // greyed marks on the wheat frame
constexpr Rgb MutedDark { 140, 124, 98 };
constexpr Rgb TreeGrey { 160, 170, 180 };  // the colour of the trees and the video display

} // namespace Palette

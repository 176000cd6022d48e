#pragma once

#include "framework/TBitmap.h"

#include <memory>

// The stored skin's pictures. Picture 3 carries the list frame, the list item and the scroll bars'
// buttons, tracks, thumbs and pressed buttons at the rectangles the INI text names.
std::unique_ptr<TBitmap> DrawMainPicture();    // 207 x 138, 8 bits
std::unique_ptr<TBitmap> DrawMaskPicture();    // 207 x 138, 1 bit
std::unique_ptr<TBitmap> DrawButtonPicture();  // 76 x 51, 8 bits
std::unique_ptr<TBitmap> DrawCheckPicture();   // 78 x 99, 8 bits
std::unique_ptr<TBitmap> DrawPanelPicture();   // 167 x 68, 8 bits
std::unique_ptr<TBitmap> DrawControlPicture(); // 384 x 421, 24 bits
std::unique_ptr<TBitmap> DrawThumbPicture();   // 42 x 21, 8 bits

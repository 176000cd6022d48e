#pragma once

#include <cstdint>
#include <vector>

// The compressed form of a JPEG picture, shared by the TJPEGImage objects assigned from one
// another: the complete file bytes and what the header says.
struct TJPEGData {
    std::vector<std::uint8_t> data;
    int width { 0 };
    int height { 0 };
    bool grayscale { false };
};

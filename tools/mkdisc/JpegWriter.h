#pragma once

#include "RgbImage.h"

#include <cstdint>
#include <filesystem>
#include <vector>

struct JpegOptions {
    bool grayscale { false };   // one gray component, as old black-and-white prints
    bool progressive { false }; // several scans instead of one
};

// JPEG through libjpeg (colour 4:2:0), the same bytes for the same picture on every run.
std::vector<std::uint8_t> EncodeJpeg(const RgbImage& image, int quality, JpegOptions options = {});

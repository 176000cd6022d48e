#pragma once

#include "RgbImage.h"

#include <cstdint>
#include <filesystem>
#include <vector>

// Baseline JPEG through libjpeg, 4:2:0, the same bytes for the same picture on every run.
std::vector<std::uint8_t> EncodeJpeg(const RgbImage& image, int quality);

#pragma once

#include "platform/PixelBuffer.h"

#include <cstdint>
#include <span>
#include <string>

// PNG in and out, over libpng: the embedded layout pictures and the harness's screenshots.
// DecodePng throws std::runtime_error on a damaged picture.
PixelBuffer DecodePng(std::span<const std::uint8_t> bytes);
// Writes RGBA; with `keep_alpha` false every pixel is opaque. Returns false when the file cannot
// be written.
bool WritePng(const std::string& path, const PixelBuffer& pixels, bool keep_alpha = false);

#pragma once

#include "RgbImage.h"

#include <filesystem>
#include <functional>

// Writes an MPEG-1 clip (MPEG-1 video, MP2 audio, an MPEG-1 system stream) through FFmpeg's
// libraries: frames at 25 per second from a painter, and a soft chord on the given note.
struct ClipSettings {
    int width { 352 };
    int height { 288 };
    int frames { 100 };
    float tone_hz { 220 };
};

using FramePainter = std::function<void(int frame, RgbImage& image)>;

void WriteClip(const std::filesystem::path& path, const ClipSettings& settings, const FramePainter& paint);

#pragma once

#include <filesystem>

// Writes synthetic MPEG program streams with FFmpeg's encoders: for the sample disc's clips, and
// for the tests and benchmarks of the media devices, which make their clips at run time.
//
// Every picture carries its own number, so that a test can tell which frame a display shows: the
// left 64 columns hold eight horizontal bands, band b (from the top) light when bit 7 - b of the
// frame number is set and dark otherwise. The rest of the picture is a moving textured pattern, and
// the sound (when asked for) a steady tone.
class ClipWriter {
public:
    enum class Format {
        Mpeg1, // MPEG-1 video and layer II sound in an MPEG-1 system stream
        Mpeg2, // MPEG-2 video and layer II sound in an MPEG-2 program stream
    };

    struct Options {
        Format format { Format::Mpeg1 };
        int width { 352 };
        int height { 288 };
        int frames { 250 };
        int frames_per_second { 25 };
        bool sound { true };
        int gop { 12 };     // pictures from one key frame to the next
        int b_frames { 0 }; // reordered pictures between references
        int bit_rate { 1500000 };
        int mono_from { -1 }; // from this picture on the sound is mono in the same stream (as
                              // damaged or spliced files have it); -1: never
    };

    // Throws std::runtime_error when the file cannot be written.
    static void Write(const std::filesystem::path& file, const Options& options);

    // The frame number that a picture of the given size shows in its bands, read at the middle of
    // each band; -1 when a band is neither clearly light nor clearly dark.
    static int ReadFrameNumber(const class PixelBuffer& picture);
};

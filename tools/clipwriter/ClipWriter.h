#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

class PixelBuffer;

// Writes synthetic MPEG program streams with FFmpeg's encoders: the sample disc's clips, and the
// clips the tests, benchmarks and fuzz seeds make at run time.
//
// Without a painter every picture carries its own number, so that a test can tell which frame a
// display shows: the left eighth of the picture holds eight horizontal bands, band b (from the
// top) light when bit 7 - b of the frame number is set and dark otherwise. The rest of the picture
// is a moving textured pattern.
class ClipWriter {
public:
    enum class Format {
        Mpeg1, // MPEG-1 video and layer II sound in an MPEG-1 system stream
        Mpeg2, // MPEG-2 video and layer II sound in an MPEG-2 program stream
    };

    enum class Sound {
        None,
        Tone,  // a steady sine at tone_hz
        Chord, // a soft chord on tone_hz that fades in and out
    };

    // Paints picture `frame` as 8-bit RGB: `height` rows of `width * 3` bytes.
    using Painter = std::function<void(int frame, std::uint8_t* rgb, int width, int height)>;

    struct Options {
        Format format { Format::Mpeg1 };
        int width { 352 };
        int height { 288 };
        int frames { 250 };
        int frames_per_second { 25 };
        Sound sound { Sound::Tone };
        double tone_hz { 440 };
        int gop { 12 };       // pictures from one key frame to the next
        int b_frames { 0 };   // reordered pictures between references
        int bit_rate { 0 };   // bits per second of the video; 0: 14 per pixel of a picture
        int mono_from { -1 }; // from this picture on the sound is mono in the same stream (as
                              // damaged or spliced files have it); -1: never
        Painter painter;      // null: the numbered pattern
    };

    // Throws std::runtime_error when the file cannot be written.
    static void Write(const std::filesystem::path& file, const Options& options);

    // The frame number that a numbered picture of the given size shows in its bands, read at the
    // middle of each band; -1 when a band is neither clearly light nor clearly dark.
    static int ReadFrameNumber(const PixelBuffer& picture);
};

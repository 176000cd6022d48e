#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Settings that shape a decode, as TJPEGImage keeps them.
struct JpegDecodeSettings {
    int scale_denominator { 1 }; // 1, 2, 4 or 8
    bool smoothing { true };
    bool grayscale { false };
    bool fast { false }; // best speed: fast integer DCT, one-pass quantisation, ordered dither
    bool eight_bit { false }; // quantise colours to a palette of at most 236 entries
};

struct JpegHeader {
    int width { 0 };
    int height { 0 };
    bool grayscale { false };
    bool progressive { false };
};

// Where decoded rows go: the decompressor asks for the output size and palette once, then writes
// each row (blue, green, red samples, or palette indices) straight into the row the sink gives.
class JpegRowSink {
public:
    virtual ~JpegRowSink() = default;
    // `bits` 8 or 24; `palette` holds the quantised colours (red low byte) for 8 bits.
    virtual void Begin(int width, int height, int bits, const std::vector<std::uint32_t>& palette) = 0;
    virtual std::uint8_t* Row(int y) = 0;
};

// Progress of a decode: percentage done and the band of rows produced since the last report.
// Returning false aborts the decode quietly.
using JpegProgress = std::function<bool(int percent, int first_row, int row_count)>;

// libjpeg (interface 62) with this program's error manager (EJPEG "JPEG error #%d"), source
// manager over an in-memory copy of the file (error 42 when empty, an end-of-image marker supplied
// for a truncated file) and progress monitor.
namespace JpegDecompressor {

// Reads the header only.
JpegHeader ReadHeader(const std::uint8_t* data, std::size_t size);
// The output size at the settings' scale.
void OutputSize(const std::uint8_t* data, std::size_t size, const JpegDecodeSettings& settings, int& width,
    int& height);
// Decodes into the sink. Returns false when a progress handler aborted.
bool Decode(const std::uint8_t* data, std::size_t size, const JpegDecodeSettings& settings, JpegRowSink& sink,
    const JpegProgress& progress = {});

} // namespace JpegDecompressor

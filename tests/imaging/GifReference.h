#pragma once

// giflib as the reference decoder and as an ordinary encoder, for tests and benchmarks only.

#include <gif_lib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace gifref {

struct MemoryInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

inline int Read(GifFileType* gif, GifByteType* buffer, int length)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    std::size_t n = std::min<std::size_t>(std::size_t(length), in->size - in->pos);
    std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return int(n);
}

struct Closer {
    void operator()(GifFileType* gif) const
    {
        int error;
        DGifCloseFile(gif, &error);
    }
};
using Decoded = std::unique_ptr<GifFileType, Closer>;

// DGifSlurp over the bytes; null when giflib rejects them.
inline Decoded Slurp(const std::vector<std::uint8_t>& bytes, MemoryInput& input)
{
    input = { bytes.data(), bytes.size(), 0 };
    int error = 0;
    GifFileType* gif = DGifOpen(&input, Read, &error);
    if (!gif)
        return nullptr;
    Decoded owned(gif);
    if (DGifSlurp(gif) != GIF_OK)
        return nullptr;
    return owned;
}

inline int Write(GifFileType* gif, const GifByteType* data, int length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A one-frame file written by giflib's encoder.
inline std::vector<std::uint8_t> Encode(int width, int height, const std::vector<std::uint8_t>& pixels,
    const std::vector<std::uint8_t>& rgb, bool interlaced)
{
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Write, &error);
    int colors = int(rgb.size() / 3);
    int rounded = 2;
    while (rounded < colors)
        rounded *= 2;
    std::vector<GifColorType> table(std::size_t(rounded), GifColorType { 0, 0, 0 });
    for (int i = 0; i < colors; ++i)
        table[std::size_t(i)] = { rgb[std::size_t(i) * 3], rgb[std::size_t(i) * 3 + 1], rgb[std::size_t(i) * 3 + 2] };
    ColorMapObject* map = GifMakeMapObject(rounded, table.data());
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    auto put_row = [&](int y) {
        std::memcpy(row.data(), pixels.data() + std::size_t(y) * width, std::size_t(width));
        EGifPutLine(gif, row.data(), width);
    };
    if (interlaced) {
        const int start[4] = { 0, 4, 2, 1 }, step[4] = { 8, 8, 4, 2 };
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < height; y += step[pass])
                put_row(y);
    } else
        for (int y = 0; y < height; ++y)
            put_row(y);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

} // namespace gifref

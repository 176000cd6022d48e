#pragma once

// Damage done to one file of a sample disc: gone, empty, cut, a flipped byte, other content, or a
// folder in its place. Offsets are found in the file's own structure (JPEG segments, GIF blocks,
// MPEG system stream start codes, catalogue lines and fields), so that a cut "inside the SOF
// segment" stays inside it whatever the sample disc's pictures hold. A structure that cannot be
// found throws, so that a changed sample disc fails the test instead of quietly damaging the wrong
// place.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace damage {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

inline Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A small JPEG of another kind: four CMYK components, which the viewer's BGR output cannot take.
inline Bytes CmykJpeg()
{
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr error {};
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = 64;
    cinfo.image_height = 48;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(64 * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = std::uint8_t(i * 3 + cinfo.next_scanline);
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}


// Where in a file: an offset computed from its sound bytes.
using Locator = std::function<std::size_t(const Bytes&)>;

struct Damage {
    enum class Kind { Missing, Folder, Rewrite };
    std::string name;
    Kind kind { Kind::Rewrite };
    std::function<Bytes(const Bytes& sound)> rewrite; // Rewrite: the damaged bytes

    // Applies the damage to `path` (a file of a scratch copy of the disc).
    void Apply(const std::filesystem::path& path) const
    {
        if (kind == Kind::Rewrite) {
            Bytes damaged = rewrite(ReadBytes(path));
            std::filesystem::remove(path);
            WriteBytes(path, damaged);
            return;
        }
        std::filesystem::remove(path);
        if (kind == Kind::Folder)
            std::filesystem::create_directory(path);
    }
};

inline Damage Missing() { return { "Missing", Damage::Kind::Missing, {} }; }
inline Damage FolderInstead() { return { "FolderWithItsName", Damage::Kind::Folder, {} }; }
inline Damage ZeroBytes()
{
    return { "ZeroBytes", Damage::Kind::Rewrite, [](const Bytes&) { return Bytes(); } };
}

// Keeps the bytes before `where`.
inline Damage CutAt(std::string name, Locator where)
{
    return { std::move(name), Damage::Kind::Rewrite, [where](const Bytes& sound) {
                std::size_t at = where(sound);
                if (at == 0 || at >= sound.size())
                    throw std::runtime_error("cut outside the file");
                return Bytes(sound.begin(), sound.begin() + std::ptrdiff_t(at));
            } };
}

// Inverts every bit of the byte at `where`.
inline Damage FlipAt(std::string name, Locator where)
{
    return { std::move(name), Damage::Kind::Rewrite, [where](const Bytes& sound) {
                std::size_t at = where(sound);
                if (at >= sound.size())
                    throw std::runtime_error("flip outside the file");
                Bytes damaged = sound;
                damaged[at] ^= 0xFF;
                return damaged;
            } };
}

// Other content under the file's name.
inline Damage ReplacedBy(std::string name, std::function<Bytes()> content)
{
    return { std::move(name), Damage::Kind::Rewrite, [content](const Bytes&) { return content(); } };
}

// Any other change of the sound bytes.
inline Damage Rewritten(std::string name, std::function<Bytes(const Bytes&)> change)
{
    return { std::move(name), Damage::Kind::Rewrite, std::move(change) };
}

inline Locator At(std::size_t offset)
{
    return [offset](const Bytes&) { return offset; };
}
// `delta` bytes after (or, negative, before) what `where` finds.
inline Locator Shifted(Locator where, long delta)
{
    return [=](const Bytes& bytes) {
        long at = long(where(bytes)) + delta;
        if (at < 0)
            throw std::runtime_error("offset before the file");
        return std::size_t(at);
    };
}
inline Locator Middle()
{
    return [](const Bytes& bytes) { return bytes.size() / 2; };
}
inline Locator FromEnd(std::size_t count)
{
    return [count](const Bytes& bytes) {
        if (count > bytes.size())
            throw std::runtime_error("file shorter than expected");
        return bytes.size() - count;
    };
}

// JPEG -------------------------------------------------------------------------------------------

struct JpegSegment {
    std::uint8_t marker;
    std::size_t offset; // of its 0xFF
    std::size_t length; // the length field (bytes after the marker)
};

// The marker segments from SOI up to and including SOS.
inline std::vector<JpegSegment> JpegSegments(const Bytes& bytes)
{
    std::vector<JpegSegment> segments;
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        throw std::runtime_error("not a JPEG file");
    segments.push_back({ 0xD8, 0, 0 });
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && bytes[at] == 0xFF) {
        std::uint8_t marker = bytes[at + 1];
        std::size_t length = std::size_t(bytes[at + 2]) << 8 | bytes[at + 3];
        segments.push_back({ marker, at, length });
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return segments;
}

// The offset `plus` bytes into the n-th (from 0) segment with this marker.
inline Locator InJpegSegment(std::uint8_t marker, std::size_t plus, int nth = 0)
{
    return [=](const Bytes& bytes) {
        int seen = 0;
        for (const JpegSegment& segment : JpegSegments(bytes))
            if (segment.marker == marker && seen++ == nth) {
                if (plus >= 2 + segment.length && marker != 0xD8)
                    throw std::runtime_error("offset beyond the JPEG segment");
                return segment.offset + plus;
            }
        throw std::runtime_error("no such JPEG segment");
    };
}

// The first byte of the entropy-coded data after SOS, plus `plus`; `fraction` of the data when
// `plus` is not given.
inline Locator InJpegData(double fraction)
{
    return [=](const Bytes& bytes) {
        std::vector<JpegSegment> segments = JpegSegments(bytes);
        const JpegSegment& sos = segments.back();
        if (sos.marker != 0xDA)
            throw std::runtime_error("no SOS segment");
        std::size_t start = sos.offset + 2 + sos.length;
        return start + std::size_t(double(bytes.size() - start) * fraction);
    };
}

// The file with a second frame header (a copy of its SOF0 segment) in the middle of its coded
// data: the header reads, the decoder meets the marker when it has decoded the scan.
inline Bytes WithSecondFrameHeader(const Bytes& sound)
{
    std::vector<JpegSegment> segments = JpegSegments(sound);
    const JpegSegment* sof = nullptr;
    for (const JpegSegment& segment : segments)
        if (segment.marker == 0xC0)
            sof = &segment;
    if (!sof)
        throw std::runtime_error("no SOF0 segment");
    std::size_t at = InJpegData(0.5)(sound);
    Bytes damaged(sound.begin(), sound.begin() + std::ptrdiff_t(at));
    damaged.insert(damaged.end(), sound.begin() + std::ptrdiff_t(sof->offset),
        sound.begin() + std::ptrdiff_t(sof->offset + 2 + sof->length));
    damaged.insert(damaged.end(), sound.begin() + std::ptrdiff_t(at), sound.end());
    return damaged;
}

// GIF --------------------------------------------------------------------------------------------

struct GifLayout {
    std::size_t screen = 6;     // logical screen descriptor
    std::size_t packed = 10;    // its packed fields
    std::size_t global_table = 0; // 0 when there is none
    std::size_t global_table_size = 0;
    struct Frame {
        std::vector<std::size_t> extensions; // offsets of the extensions before the descriptor
        std::size_t descriptor = 0;
        std::size_t code_size = 0; // the LZW minimum code size byte
        std::size_t data = 0;      // first data sub-block's size byte
        std::size_t data_end = 0;  // the terminating size-0 byte
    };
    std::vector<Frame> frames;
    std::size_t trailer = 0;
};

inline GifLayout GifLayoutOf(const Bytes& d)
{
    auto need = [&](std::size_t at) {
        if (at >= d.size())
            throw std::runtime_error("GIF structure beyond the file");
    };
    GifLayout layout;
    need(12);
    std::size_t at = 13;
    if (d[10] & 0x80) {
        layout.global_table = 13;
        layout.global_table_size = std::size_t(3) << ((d[10] & 7) + 1);
        at += layout.global_table_size;
    }
    auto skip_sub_blocks = [&](std::size_t from) {
        need(from);
        while (d[from] != 0) {
            from += std::size_t(d[from]) + 1;
            need(from);
        }
        return from;
    };
    GifLayout::Frame frame;
    for (;;) {
        need(at);
        if (d[at] == 0x3B) {
            layout.trailer = at;
            break;
        }
        if (d[at] == 0x21) {
            frame.extensions.push_back(at);
            at = skip_sub_blocks(at + 2) + 1;
        } else if (d[at] == 0x2C) {
            frame.descriptor = at;
            need(at + 9);
            std::size_t next = at + 10;
            if (d[at + 9] & 0x80)
                next += std::size_t(3) << ((d[at + 9] & 7) + 1);
            frame.code_size = next;
            frame.data = next + 1;
            frame.data_end = skip_sub_blocks(next + 1);
            at = frame.data_end + 1;
            layout.frames.push_back(frame);
            frame = {};
        } else {
            throw std::runtime_error("unexpected GIF block");
        }
    }
    return layout;
}

// An offset within the GIF's structure, chosen by `pick` from its layout.
inline Locator InGif(std::function<std::size_t(const GifLayout&, const Bytes&)> pick)
{
    return [pick](const Bytes& bytes) { return pick(GifLayoutOf(bytes), bytes); };
}

// The file without any colour table: the global table's flag cleared and its bytes left out.
inline Bytes WithoutColorTables(const Bytes& sound)
{
    GifLayout layout = GifLayoutOf(sound);
    for (const GifLayout::Frame& frame : layout.frames)
        if (sound[frame.descriptor + 9] & 0x80)
            throw std::runtime_error("the GIF has a local colour table");
    if (!layout.global_table)
        throw std::runtime_error("the GIF has no global colour table");
    Bytes damaged(sound.begin(), sound.begin() + std::ptrdiff_t(layout.global_table));
    damaged[layout.packed] &= 0x7F;
    damaged.insert(damaged.end(), sound.begin() + std::ptrdiff_t(layout.global_table + layout.global_table_size), sound.end());
    return damaged;
}

// MPEG system stream -----------------------------------------------------------------------------

// The offset of the n-th (from 0) start code 00 00 01 `code`, plus `plus`.
inline Locator AtStartCode(std::uint8_t code, std::size_t plus, int nth = 0)
{
    return [=](const Bytes& bytes) {
        int seen = 0;
        for (std::size_t i = 0; i + 3 < bytes.size(); ++i)
            if (bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 1 && bytes[i + 3] == code && seen++ == nth)
                return i + plus;
        throw std::runtime_error("no such start code");
    };
}

// Catalogue text ---------------------------------------------------------------------------------

// The offset of the first byte of line `line` (from 0; lines end in CR LF), plus `plus`.
inline Locator InLine(int line, std::size_t plus)
{
    return [=](const Bytes& bytes) {
        std::size_t at = 0;
        for (int i = 0; i < line; ++i) {
            while (at < bytes.size() && bytes[at] != '\n')
                ++at;
            if (at >= bytes.size())
                throw std::runtime_error("the catalogue has fewer lines");
            ++at;
        }
        return at + plus;
    };
}

// The offset of field `field` (from 1, "@"-separated) of line `line`, plus `plus`.
inline Locator InField(int line, int field, std::size_t plus)
{
    return [=](const Bytes& bytes) {
        std::size_t at = InLine(line, 0)(bytes);
        for (int i = 1; i < field; ++i) {
            while (at < bytes.size() && bytes[at] != '@' && bytes[at] != '\r')
                ++at;
            if (at >= bytes.size() || bytes[at] != '@')
                throw std::runtime_error("the catalogue line has fewer fields");
            ++at;
        }
        return at + plus;
    };
}

// The offset of the CR that ends line `line`.
inline Locator LineEnd(int line)
{
    return [=](const Bytes& bytes) {
        std::size_t at = InLine(line, 0)(bytes);
        while (at < bytes.size() && bytes[at] != '\r')
            ++at;
        if (at >= bytes.size())
            throw std::runtime_error("the catalogue line has no CR");
        return at;
    };
}

} // namespace damage

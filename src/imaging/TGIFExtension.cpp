#include "imaging/TGIFExtension.h"

#include "imaging/TGIFSubImage.h"

#include <cstring>
#include <functional>
#include <utility>

namespace {

using Factory = std::unique_ptr<TGIFExtension> (*)(TGIFSubImage*, TGIFImage*);

template<typename T>
std::unique_ptr<TGIFExtension> Make(TGIFSubImage* frame, TGIFImage* image)
{
    return std::make_unique<T>(frame, image);
}

// The label table; the application extension is refined by its identifier below.
constexpr std::pair<std::uint8_t, Factory> kLabels[] = {
    { TGIFTextExtension::kLabel, Make<TGIFTextExtension> },
    { TGIFGraphicControlExtension::kLabel, Make<TGIFGraphicControlExtension> },
    { TGIFCommentExtension::kLabel, Make<TGIFCommentExtension> },
    { TGIFApplicationExtension::kLabel, Make<TGIFUnknownAppExtension> },
};

// Identifiers compared as 11 raw bytes.
constexpr std::pair<const char*, Factory> kApplications[] = {
    { "NETSCAPE2.0", Make<TGIFAppExtNSLoop> },
    { "ANIMEXTS1.0", Make<TGIFAppExtNSLoop> },
};

} // namespace

std::unique_ptr<TGIFExtension> TGIFExtension::Create(GifByteReader& reader, TGIFSubImage* frame, TGIFImage* image)
{
    std::size_t start = reader.Position();
    std::uint8_t label = reader.ReadU8();
    Factory factory = nullptr;
    for (auto& [known, make] : kLabels)
        if (known == label)
            factory = make;
    if (factory && label == TGIFApplicationExtension::kLabel) {
        int size = reader.TryReadU8();
        if (size >= 11) {
            std::uint8_t identifier[11];
            reader.ReadBytes(identifier, 11);
            for (auto& [known, make] : kApplications)
                if (std::memcmp(known, identifier, 11) == 0)
                    factory = make;
        }
        // Size 10 (an old form) is always unknown; below 10 the extension rejects itself.
    }
    reader.Seek(start);
    return factory ? factory(frame, image) : nullptr;
}

void TGIFExtension::LoadFromReader(GifByteReader& reader)
{
    std::uint8_t head[2];
    reader.ReadBytes(head, 2);
    if (head[0] != '!')
        throw GIFException("Invalid extension introducer");
    if (head[1] != Label())
        throw GIFException("Internal error: Extension Instance does not match Extension Label");
}

std::vector<std::string> TGIFExtension::ReadLines(GifByteReader& reader)
{
    std::vector<std::string> lines;
    for (int size; (size = reader.TryReadU8()) > 0;) {
        std::string line(std::size_t(size), '\0');
        line.resize(reader.ReadSome(line.data(), line.size()));
        lines.push_back(std::move(line));
    }
    return lines;
}

void TGIFGraphicControlExtension::LoadFromReader(GifByteReader& reader)
{
    TGIFExtension::LoadFromReader(reader);
    std::uint8_t fields[6] {};
    if (reader.ReadSome(fields, 6) < 6)
        Warning("Premature end of data"); // the fields keep what was read
    m_block_size = fields[0];
    m_packed = fields[1];
    m_delay = std::uint16_t(fields[2] | fields[3] << 8);
    m_transparent_index = fields[4];
    m_terminator = fields[5];
}

void TGIFTextExtension::LoadFromReader(GifByteReader& reader)
{
    TGIFExtension::LoadFromReader(reader);
    reader.ReadBytes(m_block, sizeof m_block);
    m_lines = ReadLines(reader);
}

void TGIFCommentExtension::LoadFromReader(GifByteReader& reader)
{
    TGIFExtension::LoadFromReader(reader);
    m_lines = ReadLines(reader);
}

void TGIFApplicationExtension::LoadFromReader(GifByteReader& reader)
{
    TGIFExtension::LoadFromReader(reader);
    int size = reader.ReadU8();
    if (size < 10)
        throw GIFException("Unsupported Application Extension block size");
    int identifier_size = size == 10 ? 10 : 11;
    reader.ReadBytes(m_identifier, std::size_t(identifier_size));
    reader.Skip(std::size_t(size - identifier_size)); // a longer block: the rest is not needed
    LoadData(reader);
}

void TGIFAppExtNSLoop::LoadData(GifByteReader& reader)
{
    for (int size; (size = reader.TryReadU8()) > 0;) {
        std::size_t block_end = reader.Position() + std::size_t(size);
        int id = reader.ReadU8() & 7;
        if (id == 1) {
            if (size < 3)
                throw GIFException("Invalid GIF data");
            m_loops = reader.ReadU16LE();
        } else if (id == 2) {
            if (size < 5)
                throw GIFException("Invalid GIF data");
            std::uint8_t b[4];
            reader.ReadBytes(b, 4);
            m_buffer_size = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16
                | std::uint32_t(b[3]) << 24;
        }
        if (block_end > reader.Position())
            reader.Skip(block_end - reader.Position());
    }
}

void TGIFUnknownAppExtension::LoadData(GifByteReader& reader)
{
    for (int size; (size = reader.TryReadU8()) > 0;) {
        TGIFBlock block;
        block.size = std::uint8_t(size);
        block.data.resize(std::size_t(size));
        block.data.resize(reader.ReadSome(block.data.data(), block.data.size()));
        m_blocks.push_back(std::move(block));
    }
}

#pragma once

#include "imaging/GifByteReader.h"
#include "imaging/TGIFItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGIFSubImage;

// An extension block ("!" label data). Extensions belong to the frame whose image follows them.
class TGIFExtension : public TGIFItem {
public:
    TGIFExtension(TGIFSubImage* frame, TGIFImage* image)
        : TGIFItem(image)
        , m_frame(frame)
    {
    }

    virtual std::uint8_t Label() const = 0;
    // Reads the whole extension, introducer and label included.
    virtual void LoadFromReader(GifByteReader& reader);

    TGIFSubImage* Frame() const { return m_frame; }

    // Finds the class for the extension at the reader ("!" already consumed; the reader is left
    // where it was) and creates it; none when the label is unknown.
    static std::unique_ptr<TGIFExtension> Create(GifByteReader& reader, TGIFSubImage* frame, TGIFImage* image);

protected:
    // Sub-blocks up to one of size 0 or the end of the data, each one line of its bytes.
    static std::vector<std::string> ReadLines(GifByteReader& reader);

private:
    TGIFSubImage* m_frame;
};

using TGIFExtensionList = TGIFList<TGIFExtension>;

// Disposal methods of a graphic control extension (0 to 7; 4 to 7 are reserved).
enum class TDisposalMethod : std::uint8_t {
    dmNone = 0,
    dmNoDisposal = 1,
    dmBackground = 2,
    dmPrevious = 3,
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    static constexpr std::uint8_t kLabel = 0xF9;
    std::uint8_t Label() const override { return kLabel; }
    void LoadFromReader(GifByteReader& reader) override;

    int Disposal() const { return (m_packed >> 2) & 7; }
    bool UserInput() const { return m_packed & 2; }
    bool Transparent() const { return m_packed & 1; }
    int Delay() const { return m_delay; } // hundredths of a second
    int TransparentColorIndex() const { return m_transparent_index; }

private:
    std::uint8_t m_block_size { 0 };
    std::uint8_t m_packed { 0 };
    std::uint16_t m_delay { 0 };
    std::uint8_t m_transparent_index { 0 };
    std::uint8_t m_terminator { 0 };
};

class TGIFTextExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    static constexpr std::uint8_t kLabel = 0x01;
    std::uint8_t Label() const override { return kLabel; }
    void LoadFromReader(GifByteReader& reader) override;
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    std::uint8_t m_block[13] {};
    std::vector<std::string> m_lines;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    static constexpr std::uint8_t kLabel = 0xFE;
    std::uint8_t Label() const override { return kLabel; }
    void LoadFromReader(GifByteReader& reader) override;
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
};

// An application extension: block size, an 11-byte identifier (10 for old files), then data.
class TGIFApplicationExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    static constexpr std::uint8_t kLabel = 0xFF;
    std::uint8_t Label() const override { return kLabel; }
    void LoadFromReader(GifByteReader& reader) override;
    std::string Identifier() const { return std::string(reinterpret_cast<const char*>(m_identifier), 11); }

protected:
    virtual void LoadData(GifByteReader& reader) = 0;

private:
    std::uint8_t m_identifier[11] {};
};

// "NETSCAPE2.0" / "ANIMEXTS1.0": how often the animation plays.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    int Loops() const { return m_loops; } // 0: endlessly
    std::uint32_t BufferSize() const { return m_buffer_size; }

protected:
    void LoadData(GifByteReader& reader) override;

private:
    std::uint16_t m_loops { 0 };
    std::uint32_t m_buffer_size { 0 };
};

// One data sub-block kept as it was read.
struct TGIFBlock {
    std::uint8_t size { 0 };
    std::vector<std::uint8_t> data;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    const std::vector<TGIFBlock>& Blocks() const { return m_blocks; }

protected:
    void LoadData(GifByteReader& reader) override;

private:
    std::vector<TGIFBlock> m_blocks;
};

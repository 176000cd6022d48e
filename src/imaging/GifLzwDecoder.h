#pragma once

#include "imaging/GifByteReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

// Decodes one frame's LZW image data (the minimum code size byte and the data sub-blocks that
// follow it) into colour indices, in the order the file stores them.
//
// The table is fixed: 4096 entries, each naming where its string already lies in the output and
// how long it is, so that expanding a code is one copy from earlier output and never allocates.
// Every new entry is the previous string plus one byte, and that string sits in the output just
// before the current one, so an entry always refers to bytes decoded earlier: no chain to follow,
// no loop possible, and no string longer than 4096 bytes.
class GifLzwDecoder {
public:
    // Bytes the output buffer must have beyond `count`: short strings are copied in whole words.
    static constexpr std::size_t kSlack = 8;

    using WarningSink = std::function<void(const char*)>;

    // Writes up to `count` indices to `out` (which holds count + kSlack bytes); pixels the data do
    // not reach get `fill`. Leaves `reader` after the frame's sub-blocks (or where the data ran
    // out). Returns the number of pixels decoded.
    std::size_t Decode(GifByteReader& reader, std::uint8_t* out, std::size_t count, std::uint8_t fill,
        const WarningSink& warn);

private:
    bool Refill();
    int ReadCode();
    void SkipRemainingBlocks();

    GifByteReader* m_reader { nullptr };
    const WarningSink* m_warn { nullptr };
    const std::uint8_t* m_block { nullptr };
    std::size_t m_block_left { 0 };
    std::uint64_t m_bits { 0 };
    unsigned m_bit_count { 0 };
    unsigned m_code_width { 0 };
    bool m_terminator_read { false };
    bool m_data_ended { false };

    std::array<std::uint32_t, 4096> m_offset {};
    std::array<std::uint16_t, 4096> m_length {};
};

#include "imaging/TGIFHeader.h"

namespace {

bool IsSignature(const std::uint8_t* bytes)
{
    auto upper = [](std::uint8_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    return upper(bytes[0]) == 'G' && upper(bytes[1]) == 'I' && upper(bytes[2]) == 'F';
}

} // namespace

void TGIFHeader::Clear()
{
    m_width = m_height = 0;
    m_packed = m_background_index = m_aspect = 0;
    m_color_map.Clear();
}

void TGIFHeader::LoadFromReader(GifByteReader& reader)
{
    std::size_t start = reader.Position();
    std::uint8_t signature[6];
    reader.ReadBytes(signature, 6);
    if (!IsSignature(signature)) {
        // Some files carry 4 bytes of something else ahead of the signature.
        reader.Seek(start);
        reader.Skip(4);
        reader.ReadBytes(signature, 6);
        if (!IsSignature(signature))
            throw GIFException("Invalid GIF signature");
    }
    // The version text (signature[3..5]) is not examined: every version is read the same way.
    std::uint8_t screen[7];
    reader.ReadBytes(screen, 7);
    m_width = std::uint16_t(screen[0] | screen[1] << 8);
    m_height = std::uint16_t(screen[2] | screen[3] << 8);
    m_packed = screen[4];
    m_background_index = screen[5];
    m_aspect = screen[6];
    m_color_map.Clear();
    if (m_packed & 0x80)
        m_color_map.LoadFromReader(reader, 2 << (m_packed & 7), "Invalid number of colors specified in Screen Descriptor");
}

// Fuzzes the reader of the stored skin's "Pictures" block. Whatever it reads must write back and
// read again to the same block.
#include "framework/Exception.h"
#include "framework/TStream.h"
#include "skin/TbsStoredSkin.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

std::vector<std::uint8_t> Written(const TbsStoredSkin& skin)
{
    TMemoryStream out;
    skin.WritePictures(out);
    return { out.Bytes().begin(), out.Bytes().end() };
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TbsStoredSkin skin;
    TSpanStream stream({ data, size });
    try {
        skin.ReadPictures(stream);
    } catch (const Exception&) {
        return 0;
    }
    if (stream.Position() > static_cast<std::int64_t>(size))
        __builtin_trap();
    std::vector<std::uint8_t> first = Written(skin);
    TbsStoredSkin again;
    TSpanStream reread(first);
    again.ReadPictures(reread); // a block this program wrote must read back
    if (reread.Position() != static_cast<std::int64_t>(first.size()) || Written(again) != first)
        __builtin_trap();
    return 0;
}

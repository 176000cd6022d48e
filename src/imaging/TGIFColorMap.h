#pragma once

#include "imaging/GifByteReader.h"
#include "imaging/TGIFItem.h"
#include "platform/Color.h"

#include <array>
#include <cstdint>

// A GIF colour table: up to 256 colours of 3 bytes each (red, green, blue), as the file stores them.
class TGIFColorMap : public TGIFItem {
public:
    using TGIFItem::TGIFItem;

    int Count() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    void Clear() { m_count = 0; }
    const std::uint8_t* Data() const { return m_data.data(); }

    // Reads `count` (2 to 256) colours.
    void LoadFromReader(GifByteReader& reader, int count, const char* count_error);
    void Assign(const std::uint8_t* rgb, int count);

    // The colour at `index` (red in the low byte). An index outside the table gives "Invalid color
    // index" and colour 0; an empty table raises "Color table is empty".
    TColor Color(int index) const;

private:
    std::array<std::uint8_t, 256 * 3> m_data {};
    int m_count { 0 };
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    using TGIFColorMap::TGIFColorMap;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    using TGIFColorMap::TGIFColorMap;
};

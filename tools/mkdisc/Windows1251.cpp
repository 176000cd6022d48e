#include "Windows1251.h"

#include "DiscError.h"

std::string ToWindows1251(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int length;
        if (c < 0x80) {
            cp = c;
            length = 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            cp = char32_t(c & 0x1F) << 6 | (utf8[i + 1] & 0x3F);
            length = 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < utf8.size()) {
            cp = char32_t(c & 0x0F) << 12 | char32_t(utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
            length = 3;
        } else {
            throw EDiscError("text is not UTF-8: " + std::string(utf8));
        }
        i += length;
        if (cp < 0x80)
            out += char(cp);
        else if (cp >= 0x410 && cp <= 0x44F)
            out += char(0xC0 + (cp - 0x410));
        else if (cp == 0x401)
            out += char(0xA8); // Ё
        else if (cp == 0x451)
            out += char(0xB8); // ё
        else if (cp == 0xAB)
            out += char(0xAB); // «
        else if (cp == 0xBB)
            out += char(0xBB); // »
        else if (cp == 0x2014)
            out += char(0x97); // em dash
        else if (cp == 0x2013)
            out += char(0x96); // en dash
        else if (cp == 0x2116)
            out += char(0xB9); // №
        else if (cp == 0xA0)
            out += char(0xA0);
        else if (cp == 0xB0)
            out += char(0xB0); // degree
        else
            throw EDiscError("character without a Windows-1251 byte in: " + std::string(utf8));
    }
    return out;
}

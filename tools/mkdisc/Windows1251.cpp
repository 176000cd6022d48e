#include "Windows1251.h"

#include "DiscError.h"
#include "platform/Cp1251.h"

#include <algorithm>

std::string ToWindows1251(std::string_view utf8)
{
    // The platform's conversion writes '?' for what the code page lacks; in the generator's own
    // texts that is a fault.
    std::string bytes = Utf8ToCp1251(utf8);
    if (std::count(bytes.begin(), bytes.end(), '?') != std::count(utf8.begin(), utf8.end(), '?'))
        throw EDiscError("character without a Windows-1251 byte in: " + std::string(utf8));
    return bytes;
}

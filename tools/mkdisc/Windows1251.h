#pragma once

#include <string>
#include <string_view>

// UTF-8 source text to Windows-1251 bytes, as the catalogue files and pages are written. Covers
// ASCII, Cyrillic and the punctuation the disc's texts use; anything else is a fault in the
// generator's own texts and throws.
std::string ToWindows1251(std::string_view utf8);

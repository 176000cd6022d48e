#pragma once

#include <string>
#include <string_view>

// The program's text is single-byte Windows-1251; the edges (glyphs, file names, the shell, the
// harness) speak UTF-8.
std::string Cp1251ToUtf8(std::string_view text);
// Characters without a Windows-1251 byte become '?'.
std::string Utf8ToCp1251(std::string_view text);
// The Unicode code point of one Windows-1251 byte; 0xFFFD for the one undefined byte (0x98).
char32_t Cp1251ToCodePoint(unsigned char byte);
// Lower case of one Windows-1251 byte: Latin and Cyrillic capitals, Ё included; others unchanged.
unsigned char LowerCp1251(unsigned char byte);

#pragma once

#include "framework/TFont.h"
#include "framework/TMemIniFile.h"
#include "platform/Color.h"
#include "platform/Geometry.h"

#include <string>
#include <string_view>
#include <vector>

// The value syntaxes of a skin's INI text, for reading and for writing back.
//
// Points and rectangles are read field by field: a comma ends a field, of every other character only
// the digits are kept (so blanks and minus signs vanish). Each field must hold at least one digit,
// else EConvertError "'%s' is not a valid integer value" is raised with the field's digits (the
// empty text). Fields after the last one a value needs are ignored.

Point ReadSkinPoint(const TMemIniFile& ini, std::string_view section, std::string_view key);
Rect ReadSkinRect(const TMemIniFile& ini, std::string_view section, std::string_view key);
// A colour is an integer in the 0x00BBGGRR layout.
TColor ReadSkinColor(const TMemIniFile& ini, std::string_view section, std::string_view key, TColor default_value);
// Bold for "fsbold", italic for "fsitalic", underline for "fsunderline", strike-out for
// "fsstrikeout", found anywhere in the value (lower case only).
TFontStyles ReadSkinFontStyle(const TMemIniFile& ini, std::string_view section, std::string_view key);
// The list NAME: count key "NAMEcount", entries "0", "1", ... (a missing entry reads as empty).
std::vector<std::string> ReadSkinList(const TMemIniFile& ini, std::string_view section, std::string_view name);

// The field rule on its own: `fields` numbers from `text`.
void ParseSkinFields(std::string_view text, int* fields, int count);
// The entries 0 .. count-1 of a [SKINOBJECTS]-like section that exist, in index order; entries
// that do not exist read as empty and so name nothing, which lets a huge count cost nothing.
std::vector<std::string> ReadSkinEntries(const TMemIniFile& ini, std::string_view section);

void WriteSkinPoint(TMemIniFile& ini, std::string_view section, std::string_view key, Point value);
void WriteSkinRect(TMemIniFile& ini, std::string_view section, std::string_view key, Rect value);
void WriteSkinFontStyle(TMemIniFile& ini, std::string_view section, std::string_view key, TFontStyles style);
void WriteSkinList(TMemIniFile& ini, std::string_view section, std::string_view name, const std::vector<std::string>& items);

#include "skin/SkinIniValues.h"

#include "framework/Exception.h"

#include <algorithm>
#include <map>

namespace {

// A list longer than this is cut: a hostile count would otherwise fill memory with empty entries.
constexpr int MaxListEntries = 65536;

} // namespace

void ParseSkinFields(std::string_view text, int* fields, int count)
{
    std::string digits;
    int field = 0;
    auto finish = [&] {
        int value = 0;
        if (!TMemIniFile::TryStrToInt(digits, value) || digits.empty())
            throw EConvertError(Format("'%s' is not a valid integer value", digits.c_str()));
        fields[field] = value;
        digits.clear();
    };
    for (char c : text) {
        if (c == ',') {
            finish();
            if (++field == count)
                return; // fields past the last one are not part of the value
        } else if (c >= '0' && c <= '9') {
            digits.push_back(c);
        }
    }
    if (field < count) {
        finish();
        ++field;
    }
    if (field < count) { // too few fields: the next one is empty
        digits.clear();
        finish();
    }
}

Point ReadSkinPoint(const TMemIniFile& ini, std::string_view section, std::string_view key)
{
    int f[2] = {};
    ParseSkinFields(ini.ReadString(section, key, "0,0"), f, 2);
    return { f[0], f[1] };
}

Rect ReadSkinRect(const TMemIniFile& ini, std::string_view section, std::string_view key)
{
    int f[4] = {};
    ParseSkinFields(ini.ReadString(section, key, "0,0,0,0"), f, 4);
    return { f[0], f[1], f[2], f[3] };
}

TColor ReadSkinColor(const TMemIniFile& ini, std::string_view section, std::string_view key, TColor default_value)
{
    return static_cast<TColor>(ini.ReadInteger(section, key, static_cast<int>(default_value)));
}

TFontStyles ReadSkinFontStyle(const TMemIniFile& ini, std::string_view section, std::string_view key)
{
    std::string text = ini.ReadString(section, key, "");
    TFontStyles style = 0;
    if (text.find("fsbold") != std::string::npos)
        style |= fsBold;
    if (text.find("fsitalic") != std::string::npos)
        style |= fsItalic;
    if (text.find("fsunderline") != std::string::npos)
        style |= fsUnderline;
    if (text.find("fsstrikeout") != std::string::npos)
        style |= fsStrikeOut;
    return style;
}

std::vector<std::string> ReadSkinList(const TMemIniFile& ini, std::string_view section, std::string_view name)
{
    int count = std::min(ini.ReadInteger(section, std::string(name) + "count", 0), MaxListEntries);
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back(ini.ReadString(section, std::to_string(i), ""));
    return items;
}

std::vector<std::string> ReadSkinEntries(const TMemIniFile& ini, std::string_view section)
{
    int count = ini.ReadInteger(section, "count", 0);
    // Only keys written as IntToStr writes an index ("7", never "07") are ever looked up.
    TStringList keys;
    ini.ReadSection(section, keys);
    std::map<int, std::string> present;
    for (const std::string& key : keys) {
        if (key.empty() || (key.size() > 1 && key[0] == '0')
            || !std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        int index = 0;
        if (!TMemIniFile::TryStrToInt(key, index) || index >= count || present.count(index))
            continue;
        present.emplace(index, ini.ReadString(section, key, ""));
    }
    std::vector<std::string> entries;
    for (auto& [index, value] : present)
        entries.push_back(std::move(value));
    return entries;
}

void WriteSkinPoint(TMemIniFile& ini, std::string_view section, std::string_view key, Point value)
{
    ini.WriteString(section, key, std::to_string(value.x) + "," + std::to_string(value.y));
}

void WriteSkinRect(TMemIniFile& ini, std::string_view section, std::string_view key, Rect value)
{
    ini.WriteString(section, key,
        std::to_string(value.left) + "," + std::to_string(value.top) + "," + std::to_string(value.right) + ","
            + std::to_string(value.bottom));
}

void WriteSkinFontStyle(TMemIniFile& ini, std::string_view section, std::string_view key, TFontStyles style)
{
    std::string text;
    auto add = [&](TFontStyles bit, const char* word) {
        if (!(style & bit))
            return;
        if (!text.empty())
            text += ",";
        text += word;
    };
    add(fsBold, "fsbold");
    add(fsItalic, "fsitalic");
    add(fsUnderline, "fsunderline");
    add(fsStrikeOut, "fsstrikeout");
    ini.WriteString(section, key, text);
}

void WriteSkinList(TMemIniFile& ini, std::string_view section, std::string_view name, const std::vector<std::string>& items)
{
    ini.WriteInteger(section, std::string(name) + "count", static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i)
        ini.WriteString(section, std::to_string(i), items[i]);
}

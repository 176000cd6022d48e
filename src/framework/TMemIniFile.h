#pragma once

#include "framework/TStringList.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// An INI text held in memory: "[section]" lines and "key=value" lines below them. Section and key
// names are matched without regard to case (ASCII and the Windows-1251 Cyrillic letters); the first
// of two equal keys in a section wins, and a section that appears twice is read as one. Blanks
// around names and values are dropped; lines that are empty, start with ';' or hold no '=' are
// skipped, as are lines before the first section. Nothing touches a file. Sections and keys are
// found through hash indexes of their case-folded names, so reading a text takes time in proportion
// to its length and each look-up takes constant time, however many sections and keys there are.
class TMemIniFile {
public:
    TMemIniFile() = default;
    explicit TMemIniFile(const TStringList& lines) { SetStrings(lines); }

    void SetStrings(const TStringList& lines);
    // The content as INI lines, sections in the order they first appeared.
    void GetStrings(TStringList& lines) const;
    void Clear();

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Section names, and the keys of one section, in order.
    void ReadSections(TStringList& sections) const;
    void ReadSection(std::string_view section, TStringList& keys) const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view default_value) const;
    // A value that is not a valid integer (see TryStrToInt) yields the default.
    int ReadInteger(std::string_view section, std::string_view key, int default_value) const;
    // True only for the integer value 1; a missing or invalid value yields the default.
    bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    void EraseSection(std::string_view section);

    // Decimal digits with an optional sign; "$", "0x" or "0X" after the sign makes the rest
    // hexadecimal (up to 8 digits, taken as a 32-bit pattern). Decimal values must fit 32 bits.
    static bool TryStrToInt(std::string_view text, int& value);
    // Case-insensitive equality of two names (ASCII and Windows-1251 letters).
    static bool SameText(std::string_view a, std::string_view b);

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    // Folded name -> position of the first entry (or section) with that name.
    using Index = std::unordered_map<std::string, std::size_t>;
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        Index keys;
    };

    static std::string Folded(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    Section& AddSection(std::string_view name);
    static void AddEntry(Section& section, std::string_view key, std::string_view value);
    const std::string* FindValue(std::string_view section, std::string_view key) const;

    std::vector<Section> m_sections;
    Index m_section_index;
};

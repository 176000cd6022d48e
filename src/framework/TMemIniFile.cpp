#include "framework/TMemIniFile.h"

#include <cstdint>

namespace {

unsigned char FoldCase(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) // Windows-1251 capital А..Я
        return static_cast<unsigned char>(c + 32);
    if (c == 0xA8) // Ё
        return 0xB8;
    return c;
}

std::string_view Trim(std::string_view text)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string TMemIniFile::Folded(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return folded;
}

bool TMemIniFile::SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool TMemIniFile::TryStrToInt(std::string_view text, int& value)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool hex = false;
    if (!text.empty() && text.front() == '$') {
        hex = true;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        text.remove_prefix(2);
    }
    if (text.empty())
        return false;
    std::uint64_t magnitude = 0;
    for (char c : text) {
        int digit = hex ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return false;
        magnitude = magnitude * (hex ? 16 : 10) + std::uint64_t(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    if (hex) {
        // A hexadecimal value is a 32-bit pattern: $FFFFFFFF is -1.
        auto bits = static_cast<std::uint32_t>(magnitude);
        if (negative)
            bits = 0u - bits;
        value = static_cast<int>(bits);
        return true;
    }
    if (negative ? magnitude > 2147483648ull : magnitude > 2147483647ull)
        return false;
    value = negative ? static_cast<int>(-static_cast<std::int64_t>(magnitude)) : static_cast<int>(magnitude);
    return true;
}

void TMemIniFile::Clear()
{
    m_sections.clear();
    m_section_index.clear();
}

TMemIniFile::Section& TMemIniFile::AddSection(std::string_view name)
{
    m_section_index.emplace(Folded(name), m_sections.size());
    m_sections.push_back({ std::string(name), {}, {} });
    return m_sections.back();
}

void TMemIniFile::AddEntry(Section& section, std::string_view key, std::string_view value)
{
    section.keys.emplace(Folded(key), section.entries.size()); // the first of equal keys stays found
    section.entries.push_back({ std::string(key), std::string(value) });
}

void TMemIniFile::SetStrings(const TStringList& lines)
{
    Clear();
    // Sections move as the list grows: remember the current one by position.
    std::size_t current = std::string_view::npos;
    for (const std::string& raw : lines) {
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            std::string_view name = Trim(line.substr(1, line.size() - 2));
            if (const Section* found = FindSection(name)) {
                current = std::size_t(found - m_sections.data());
            } else {
                AddSection(name);
                current = m_sections.size() - 1;
            }
            continue;
        }
        std::size_t equals = line.find('=');
        if (current == std::string_view::npos || equals == std::string_view::npos)
            continue;
        AddEntry(m_sections[current], Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
}

void TMemIniFile::GetStrings(TStringList& lines) const
{
    lines.Clear();
    for (const Section& section : m_sections) {
        lines.Add("[" + section.name + "]");
        for (const Entry& entry : section.entries)
            lines.Add(entry.key + "=" + entry.value);
        lines.Add("");
    }
}

const TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) const
{
    auto found = m_section_index.find(Folded(name));
    return found == m_section_index.end() ? nullptr : &m_sections[found->second];
}

TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name)
{
    return const_cast<Section*>(static_cast<const TMemIniFile*>(this)->FindSection(name));
}

const std::string* TMemIniFile::FindValue(std::string_view section, std::string_view key) const
{
    const Section* found = FindSection(section);
    if (!found)
        return nullptr;
    auto entry = found->keys.find(Folded(key));
    return entry == found->keys.end() ? nullptr : &found->entries[entry->second].value;
}

bool TMemIniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return FindValue(section, key) != nullptr;
}

void TMemIniFile::ReadSections(TStringList& sections) const
{
    sections.Clear();
    for (const Section& section : m_sections)
        sections.Add(section.name);
}

void TMemIniFile::ReadSection(std::string_view section, TStringList& keys) const
{
    keys.Clear();
    if (const Section* found = FindSection(section))
        for (const Entry& entry : found->entries)
            keys.Add(entry.key);
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view default_value) const
{
    const std::string* value = FindValue(section, key);
    return std::string(value ? std::string_view(*value) : default_value);
}

int TMemIniFile::ReadInteger(std::string_view section, std::string_view key, int default_value) const
{
    const std::string* text = FindValue(section, key);
    int value = 0;
    if (text && TryStrToInt(*text, value))
        return value;
    return default_value;
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view key, bool default_value) const
{
    const std::string* text = FindValue(section, key);
    int value = 0;
    if (text && TryStrToInt(*text, value))
        return value == 1;
    return default_value;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    Section* found = FindSection(section);
    if (!found)
        found = &AddSection(section);
    if (auto entry = found->keys.find(Folded(key)); entry != found->keys.end())
        found->entries[entry->second].value = std::string(value);
    else
        AddEntry(*found, key, value);
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void TMemIniFile::EraseSection(std::string_view section)
{
    const Section* found = FindSection(section);
    if (!found)
        return;
    m_sections.erase(m_sections.begin() + (found - m_sections.data()));
    m_section_index.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        m_section_index.emplace(Folded(m_sections[i].name), i);
}

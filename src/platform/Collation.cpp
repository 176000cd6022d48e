#include "platform/Collation.h"

#include "platform/Cp1251.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

// UTF-16 code unit of every Windows-1251 byte.
const std::array<char16_t, 256>& WideTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> wide {};
        for (int byte = 0; byte < 256; ++byte)
            wide[std::size_t(byte)] = char16_t(Cp1251ToCodePoint(static_cast<unsigned char>(byte)));
        return wide;
    }();
    return table;
}

// Windows-1251 bytes widened to UTF-16 in a buffer that lives on the stack for ordinary texts;
// every byte maps to one code unit (the one undefined byte to U+FFFD), so NUL bytes and odd bytes
// are compared like any other character.
class Widened {
public:
    explicit Widened(std::string_view text)
        : m_size(int32_t(text.size()))
    {
        char16_t* out = m_inline;
        if (text.size() > std::size(m_inline)) {
            m_heap.resize(text.size());
            out = m_heap.data();
        }
        const std::array<char16_t, 256>& wide = WideTable();
        for (std::size_t i = 0; i < text.size(); ++i)
            out[i] = wide[static_cast<unsigned char>(text[i])];
        m_data = out;
    }
    Widened(const Widened&) = delete;
    Widened& operator=(const Widened&) = delete;

    const char16_t* Data() const { return m_data; }
    int32_t Size() const { return m_size; }

private:
    char16_t m_inline[256];
    std::vector<char16_t> m_heap;
    const char16_t* m_data { nullptr };
    int32_t m_size;
};

int Sign(UCollationResult result)
{
    return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

} // namespace

Collation::Collation(std::string_view locale_name, Case letter_case)
    : m_locale_name(locale_name)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = m_locale_name.empty() ? icu::Locale::getRoot() : icu::Locale(m_locale_name.c_str());
    m_collator.reset(icu::Collator::createInstance(locale, status));
    if (U_FAILURE(status) || !m_collator) {
        status = U_ZERO_ERROR;
        m_collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
    }
    if (U_FAILURE(status) || !m_collator)
        throw std::runtime_error("the collation rules of the root locale are missing");
    m_collator->setStrength(letter_case == Case::Ignore ? icu::Collator::SECONDARY : icu::Collator::TERTIARY);
}

Collation::~Collation() = default;

std::string Collation::EnvironmentLocale()
{
    const char* value = nullptr;
    for (const char* name : { "LC_ALL", "LC_COLLATE", "LANG" }) {
        value = std::getenv(name);
        if (value && *value)
            break;
        value = nullptr;
    }
    if (!value)
        return {};
    std::string locale(value);
    // "ru_RU.UTF-8@euro" -> "ru_RU": the code set and modifier say nothing about sort order.
    locale = locale.substr(0, locale.find_first_of(".@"));
    if (locale == "C" || locale == "POSIX")
        return {};
    return locale;
}

const Collation& Collation::UserDefault(Case letter_case)
{
    // Each is made on its first use only: opening a locale's rules can take milliseconds.
    if (letter_case == Case::Ignore) {
        static const Collation ignoring_case(EnvironmentLocale(), Case::Ignore);
        return ignoring_case;
    }
    static const Collation considering_case(EnvironmentLocale(), Case::Consider);
    return considering_case;
}

int Collation::CompareText(std::string_view a, std::string_view b)
{
    return UserDefault(Case::Ignore).Compare(a, b);
}

int Collation::CompareStr(std::string_view a, std::string_view b)
{
    return UserDefault(Case::Consider).Compare(a, b);
}

int Collation::Compare(std::string_view a, std::string_view b) const
{
    Widened wide_a(a);
    Widened wide_b(b);
    UErrorCode status = U_ZERO_ERROR;
    return Sign(m_collator->compare(wide_a.Data(), wide_a.Size(), wide_b.Data(), wide_b.Size(), status));
}

std::string Collation::SortKey(std::string_view text) const
{
    std::string key;
    AppendSortKey(text, key);
    return key;
}

std::size_t Collation::AppendSortKey(std::string_view text, std::string& out) const
{
    Widened wide(text);
    std::size_t start = out.size();
    std::size_t room = text.size() * 3 + 16;
    for (;;) {
        out.resize(start + room);
        int32_t length = m_collator->getSortKey(wide.Data(), wide.Size(), reinterpret_cast<uint8_t*>(out.data() + start), int32_t(room));
        if (length <= int32_t(room)) {
            // The key ends in a zero byte; dropping it keeps "shorter prefix first" meaningful.
            std::size_t size = length > 0 ? std::size_t(length - 1) : 0;
            out.resize(start + size);
            return size;
        }
        room = std::size_t(length);
    }
}

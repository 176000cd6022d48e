#include "platform/Collation.h"

#include "platform/Cp1251.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// Windows-1251 bytes widened to UTF-16; every byte maps to one code unit (the one undefined byte to
// U+FFFD), so NUL bytes and odd bytes are compared like any other character.
icu::UnicodeString Widen(std::string_view text)
{
    icu::UnicodeString wide;
    char16_t* buffer = wide.getBuffer(int32_t(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i)
        buffer[i] = char16_t(Cp1251ToCodePoint(static_cast<unsigned char>(text[i])));
    wide.releaseBuffer(int32_t(text.size()));
    return wide;
}

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
    static const Collation ignoring_case(EnvironmentLocale(), Case::Ignore);
    static const Collation considering_case(EnvironmentLocale(), Case::Consider);
    return letter_case == Case::Ignore ? ignoring_case : considering_case;
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
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult result = m_collator->compare(Widen(a), Widen(b), status);
    return Sign(result);
}

std::string Collation::SortKey(std::string_view text) const
{
    icu::UnicodeString wide = Widen(text);
    std::string key(text.size() * 2 + 16, '\0');
    for (;;) {
        int32_t length = m_collator->getSortKey(wide, reinterpret_cast<uint8_t*>(key.data()), int32_t(key.size()));
        if (length <= int32_t(key.size())) {
            // The key ends in a zero byte; dropping it keeps "shorter prefix first" meaningful.
            key.resize(length > 0 ? std::size_t(length - 1) : 0);
            return key;
        }
        key.resize(std::size_t(length));
    }
}

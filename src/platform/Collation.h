#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Collator;
U_NAMESPACE_END

// Locale-aware comparison of Windows-1251 text, the way the desktop sorts names for the user:
// letters by the rules of the locale, case ignored (secondary strength) or considered (tertiary).
// The locale comes from the environment (LC_ALL, then LC_COLLATE, then LANG); the root locale is
// used when none is set or when it is "C" or "POSIX".
class Collation {
public:
    enum class Case { Ignore, Consider };

    Collation(std::string_view locale_name, Case letter_case);
    ~Collation();
    Collation(const Collation&) = delete;
    Collation& operator=(const Collation&) = delete;

    // The user's default locale, created on first use and kept for the life of the process.
    static const Collation& UserDefault(Case letter_case = Case::Ignore);
    // Negative, zero or positive as a sorts before, with or after b in the user's default locale,
    // without regard to case (CompareText) or with it (CompareStr).
    static int CompareText(std::string_view a, std::string_view b);
    static int CompareStr(std::string_view a, std::string_view b);
    // The locale name the environment gives for collation ("" means the root locale).
    static std::string EnvironmentLocale();

    int Compare(std::string_view a, std::string_view b) const;
    // A byte string whose plain byte order (memcmp, shorter prefix first) is the order of Compare:
    // Compare(a, b) has the sign of SortKey(a) <=> SortKey(b). Cheaper than repeated Compare calls
    // when one text takes part in many comparisons, as in a sort.
    std::string SortKey(std::string_view text) const;
    // Appends the sort key of `text` to `out` and returns its length: many keys in one buffer.
    std::size_t AppendSortKey(std::string_view text, std::string& out) const;
    const std::string& LocaleName() const { return m_locale_name; }

private:
    std::string m_locale_name;
    std::unique_ptr<icu::Collator> m_collator;
};

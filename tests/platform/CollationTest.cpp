#include "platform/Collation.h"
#include "platform/Cp1251.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Collation, IgnoresCaseOnlyWhenAskedTo)
{
    Collation ignoring("", Collation::Case::Ignore);
    Collation considering("", Collation::Case::Consider);
    std::string upper = Utf8ToCp1251("ВЕЛИКОБРИТАНИЯ");
    std::string lower = Utf8ToCp1251("великобритания");
    EXPECT_EQ(ignoring.Compare(upper, lower), 0);
    EXPECT_NE(considering.Compare(upper, lower), 0);
    EXPECT_EQ(ignoring.SortKey(upper), ignoring.SortKey(lower));
    // Accents still count at this strength, after the letters themselves.
    EXPECT_LT(ignoring.Compare(Utf8ToCp1251("ЕЛЬ"), Utf8ToCp1251("ёль")), 0);
    EXPECT_LT(ignoring.Compare(Utf8ToCp1251("ёж"), Utf8ToCp1251("ель")), 0);
    EXPECT_NE(ignoring.Compare(Utf8ToCp1251("е"), Utf8ToCp1251("ё")), 0);
}

TEST(Collation, SortKeysOrderLikeCompare)
{
    Collation collation("ru", Collation::Case::Ignore);
    std::vector<std::string> texts = { "", "a", "A", "ab", "b", "@", " ", std::string("a\0b", 3), "\x98", Utf8ToCp1251("Австрия"),
        Utf8ToCp1251("австрия@x"), Utf8ToCp1251("Австрия@Y"), "Photo\\1995\\x\\01.jpg@t", "Photo\\1995\\X\\01.jpg@T",
        std::string(600, 'z') };
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            int compare = collation.Compare(a, b);
            int keys = collation.SortKey(a).compare(collation.SortKey(b));
            EXPECT_EQ(compare < 0, keys < 0) << a << " / " << b;
            EXPECT_EQ(compare == 0, keys == 0) << a << " / " << b;
        }
    }
    EXPECT_LT(collation.Compare("a", "ab"), 0);
    EXPECT_LT(collation.Compare(Utf8ToCp1251("Швеция"), Utf8ToCp1251("Шотландия")), 0);
}

TEST(Collation, TakesTheLocaleFromTheEnvironment)
{
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> saved;
    for (const char* name : { "LC_ALL", "LC_COLLATE", "LANG" }) {
        const char* value = std::getenv(name);
        saved.push_back({ name, value ? value : "", value != nullptr });
        ::unsetenv(name);
    }
    EXPECT_EQ(Collation::EnvironmentLocale(), "");
    ::setenv("LANG", "ru_RU.UTF-8", 1);
    EXPECT_EQ(Collation::EnvironmentLocale(), "ru_RU");
    ::setenv("LC_COLLATE", "sv_SE@euro", 1);
    EXPECT_EQ(Collation::EnvironmentLocale(), "sv_SE");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(Collation::EnvironmentLocale(), "");
    ::setenv("LC_ALL", "", 1);
    EXPECT_EQ(Collation::EnvironmentLocale(), "sv_SE");
    for (const Saved& s : saved) {
        if (s.set)
            ::setenv(s.name, s.value.c_str(), 1);
        else
            ::unsetenv(s.name);
    }
    // A name that no locale knows falls back to the root rules instead of failing.
    Collation unknown("xx_NOWHERE", Collation::Case::Ignore);
    EXPECT_LT(unknown.Compare("a", "B"), 0);
}

#include "platform/Cp1251.h"

#include <gtest/gtest.h>

namespace {

std::string Lowered(std::string_view utf8)
{
    std::string lowered;
    for (char c : Utf8ToCp1251(utf8))
        lowered += char(LowerCp1251(static_cast<unsigned char>(c)));
    return Cp1251ToUtf8(lowered);
}

} // namespace

TEST(Cp1251, LowerCaseCoversLatinAndCyrillicCapitalsOnly)
{
    EXPECT_EQ(Lowered("ABCXYZАБВЁЖЭЮЯ"), "abcxyzабвёжэюя");
    EXPECT_EQ(Lowered("abz абёя 09 @[`{ №«»—ЄЇ"), "abz абёя 09 @[`{ №«»—ЄЇ");
}

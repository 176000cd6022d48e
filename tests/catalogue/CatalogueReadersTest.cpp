#include "catalogue/CatalogueReaders.h"
#include "framework/Exception.h"

#include <gtest/gtest.h>

using namespace Catalogue;

TEST(CatalogueFields, SplitAtEveryAtSignWithoutTrimming)
{
    EXPECT_EQ(Field("a@ b @@d", 1), "a");
    EXPECT_EQ(Field("a@ b @@d", 2), " b ");
    EXPECT_EQ(Field("a@ b @@d", 3), "");
    EXPECT_EQ(Field("a@ b @@d", 4), "d");
    EXPECT_EQ(Field("a@ b @@d", 5), "");
    EXPECT_EQ(Field("", 1), "");
    EXPECT_EQ(Field("a@", 2), "");
}

TEST(CatalogueFields, CopyTakesCharactersFromOneBasedPosition)
{
    EXPECT_EQ(Copy("Photo\\1995\\x\\", 7, 4), "1995");
    EXPECT_EQ(Copy("Photo\\19", 7, 4), "19");
    EXPECT_EQ(Copy("Photo\\", 7, 4), "");
    EXPECT_EQ(Copy("Graphics\\1995\\x\\", 10), "1995\\x\\");
    EXPECT_EQ(Copy("", 10), "");
}

TEST(CatalogueFields, StrToIntTakesOnlyDecimalNumbers)
{
    EXPECT_EQ(StrToInt("1995"), 1995);
    EXPECT_EQ(StrToInt("-001"), -1);
    EXPECT_EQ(StrToInt("+995"), 995);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
    for (std::string bad : std::vector<std::string> { "", "-", " 199", "19 5", "$7CF", "0x7C", "2147483648", "99999999999999999999", std::string("19\0" "5", 4) }) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), "'" + bad + "' is not a valid integer value");
        }
    }
}

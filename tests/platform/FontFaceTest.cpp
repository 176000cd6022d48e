#include "platform/FontFace.h"

#include <gtest/gtest.h>

#include <cmath>

// Arial's published advance widths in font units (2048 to the em); the installed stand-in face is
// metric-compatible, so text measures the same.
TEST(FontFace, ArialTextWidthFollowsItsMetrics)
{
    auto face = FontFace::Get({ "Arial", -32 });
    struct {
        char c;
        int units;
    } advances[] = { { 'H', 1479 }, { 'e', 1139 }, { 'l', 455 }, { 'o', 1139 }, { ' ', 569 } };
    int expected = 0;
    std::string text;
    for (auto [c, units] : advances) {
        text += c;
        expected += int(std::lround(units * 32.0 / 2048));
    }
    EXPECT_NEAR(face->TextWidth(text), expected, 1);
}

TEST(FontFace, HeightSignRule)
{
    // Positive: the cell (ascent plus descent) is that high.
    EXPECT_EQ(FontFace::Get({ "Arial", 20 })->Metrics().height, 20);
    // Negative: the em is that high, and the cell is Arial's (1854 + 434) / 2048 of it.
    EXPECT_EQ(FontFace::Get({ "Arial", -20 })->Metrics().height, int(std::lround(20.0 * 2288 / 2048)));
}

TEST(FontFace, BoldIsWider)
{
    auto regular = FontFace::Get({ "MS Sans Serif", 20 });
    auto bold = FontFace::Get({ "MS Sans Serif", 20, true });
    EXPECT_GT(bold->TextWidth("Velmar"), regular->TextWidth("Velmar"));
}

TEST(FontFace, CyrillicHasGlyphs)
{
    auto face = FontFace::Get({ "Arial", -14 });
    // "Фото" in Windows-1251: every letter advances the pen.
    EXPECT_GT(face->TextWidth("\xD4\xEE\xF2\xEE"), 4 * 4);
}

TEST(FontFace, MissingFaceFallsBackWithAWarning)
{
    testing::internal::CaptureStderr();
    std::string family;
    std::string file = ResolveFontFile("No Such Face Anywhere", false, false, &family);
    ResolveFontFile("No Such Face Anywhere", false, false);
    std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(file.empty());
    EXPECT_NE(warnings.find("No Such Face Anywhere"), std::string::npos);
    EXPECT_EQ(warnings.find("No Such Face Anywhere"), warnings.rfind("No Such Face Anywhere")) << "warned twice";
}

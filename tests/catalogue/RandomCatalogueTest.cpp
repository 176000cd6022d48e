#include "CatalogueTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace Catalogue;

namespace {

// Random catalogues drawn from small pools, so that the cases that make the construction tricky
// come up often: countries and places that differ only in case, by a character the comparison
// ignores (\x01), or as a prefix; empty places and countries; years outside 1990-2005, 0 and
// negative ones; shared scheme folders; short lines; now and then a year that is no number.
class CatalogueGenerator {
public:
    explicit CatalogueGenerator(std::uint32_t seed)
        : m_random(seed)
    {
    }

    CatalogueTexts Next()
    {
        CatalogueTexts texts;
        int photos = Pick(0, 40);
        bool allow_errors = Pick(0, 19) == 0;
        for (int i = 0; i < photos; ++i) {
            std::string line = std::to_string(i) + "@" + Choose(m_files) + "@" + Folder(allow_errors) + "@x@"
                + Choose(m_countries) + "@" + Choose(m_places) + "@" + Choose(m_texts);
            if (Pick(0, 9) == 0)
                line = line.substr(0, line.rfind('@', line.size() - 1)); // fewer fields
            texts.photos += line + "\r\n";
        }
        if (allow_errors && Pick(0, 1) == 0)
            texts.photos += "\r\n";
        else if (!texts.photos.empty() && Pick(0, 3) == 0)
            texts.photos.resize(texts.photos.size() - 2); // no break after the last line

        std::string folder = "Graphics\\" + Year(false) + "\\" + Choose(m_subfolders) + "\\";
        for (int i = Pick(0, 15); i > 0; --i) {
            if (Pick(0, 2) == 0)
                folder = "Graphics\\" + Year(allow_errors) + "\\" + Choose(m_subfolders) + "\\";
            if (Pick(0, 30) == 0)
                folder = allow_errors ? "" : "Gr";
            texts.schemes += "1@" + folder + "@x\r\n";
        }
        std::string figure = "f1";
        for (int i = Pick(0, 30); i > 0; --i) {
            if (Pick(0, 2) == 0)
                figure = Choose(m_figures);
            texts.naska += "1@" + figure + "@" + Choose(m_places) + "\r\n";
        }
        return texts;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    const std::string& Choose(const std::vector<std::string>& pool) { return pool[std::size_t(Pick(0, int(pool.size()) - 1))]; }

    std::string Year(bool allow_errors)
    {
        int roll = Pick(0, 99);
        if (roll < 70)
            return std::to_string(Pick(1990, 2005));
        if (roll < 95 || !allow_errors)
            return Choose(m_odd_years);
        return "19x5";
    }
    std::string Folder(bool allow_errors)
    {
        if (allow_errors && Pick(0, 60) == 0)
            return "Ph\\";
        return "Photo\\" + Year(allow_errors) + "\\" + Choose(m_subfolders) + "\\";
    }

    std::mt19937 m_random;
    std::vector<std::string> m_countries { W("Австрия"), W("австрия"), W("Германия"), W("США"), W("сША"), W("Франция"),
        "", W("Росия"), "A", "a", "A\x01", "AB" };
    std::vector<std::string> m_places { "", "", W("Вена"), W("вена"), W("Бонн"), "B", "BB", "b", "B\x01", "\x98x", W("Поле") };
    std::vector<std::string> m_files { "01.jpg", "1.jpg", "A.jpg", "a.jpg", "b.JPG", "a.jpg\x01" };
    std::vector<std::string> m_texts { "t", "T", "10.07.1999", "", W("лето") };
    std::vector<std::string> m_subfolders { "a", "A", "b" };
    std::vector<std::string> m_odd_years { "1989", "2006", "0000", "-001", "-010", "0001", "+995" };
    std::vector<std::string> m_figures { "f1", "f2", "F1", "" };
};

std::string ErrorOf(const std::function<void()>& build)
{
    try {
        build();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "(none)";
}

} // namespace

TEST(CatalogueConstruction, MatchesThePlainAlgorithmOnRandomCatalogues)
{
    CatalogueGenerator generator(20261208);
    int errors = 0;
    int places = 0;
    for (int round = 0; round < 3000; ++round) {
        CatalogueTexts texts = generator.Next();
        CatalogueModel fast;
        CatalogueModel plain;
        std::string fast_error = ErrorOf([&] {
            TestDisc disc { texts.photos, texts.schemes, texts.naska };
            BuildCatalogue(fast, HooksFor(disc));
        });
        std::string plain_error = ErrorOf([&] { BuildReferenceCatalogue(plain, texts); });
        ASSERT_EQ(fast_error, plain_error) << "round " << round;
        ASSERT_TRUE(fast == plain) << "round " << round << "\n" << texts.photos << "\n" << texts.schemes;
        errors += fast_error != "(none)";
        places += fast.PlaceCount();
    }
    // The pools must exercise both outcomes, or the comparison proves little.
    EXPECT_GT(errors, 20);
    EXPECT_GT(places, 10000);
}

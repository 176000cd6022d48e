#include "CatalogueTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace Catalogue;
using testing::ElementsAre;

namespace {

std::vector<std::pair<std::string, int>> Nodes(const TreeModel& tree)
{
    std::vector<std::pair<std::string, int>> nodes;
    for (const TreeNode& node : tree.Nodes())
        nodes.emplace_back(Cp1251ToUtf8(node.Caption), node.Level);
    return nodes;
}

std::vector<std::string> Utf8(const TStringList& list)
{
    std::vector<std::string> items;
    for (const std::string& item : list)
        items.push_back(Cp1251ToUtf8(item));
    return items;
}

std::vector<std::pair<std::string, int>> YearNodes(std::initializer_list<std::pair<int, std::vector<std::pair<std::string, int>>>> inserts)
{
    std::vector<std::pair<std::string, int>> nodes { { "Год", 0 } };
    for (int year = 1990; year <= 2005; ++year) {
        nodes.emplace_back(std::to_string(year), 1);
        for (const auto& [at, children] : inserts) {
            if (at == year)
                nodes.insert(nodes.end(), children.begin(), children.end());
        }
    }
    return nodes;
}

const char* const country_names[] = { "Австрия", "Бельгия", "Великобритания", "Германия", "Италия", "Канада", "Мексика",
    "Нидерланды", "Польша", "Росия", "Словения", "США", "Чехия", "Швейцария", "Швеция", "Шотландия" };

std::vector<std::pair<std::string, int>> CountryNodes(std::initializer_list<std::pair<std::string, std::vector<std::pair<std::string, int>>>> inserts)
{
    std::vector<std::pair<std::string, int>> nodes { { "Страна", 0 } };
    for (const char* country : country_names) {
        nodes.emplace_back(country, 1);
        for (const auto& [name, children] : inserts) {
            if (name == country)
                nodes.insert(nodes.end(), children.begin(), children.end());
        }
    }
    return nodes;
}

std::vector<std::pair<std::string, int>> Concat(std::vector<std::pair<std::string, int>> a, const std::vector<std::pair<std::string, int>>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    a.emplace_back("Все", 0);
    return a;
}

} // namespace

TEST(LoadPhotos, OrdersByTheWholeKeyWithoutRegardToCaseAndMapsTheFields)
{
    TestDisc disc;
    disc.photos = Lines({
        "1@b.jpg@Photo\\1999\\b\\@x@Австрия@Зеленое@10.07.1999",
        "2@A.jpg@Photo\\1999\\a\\@x@австрия@Поле@11.07.1999@extra@fields",
        "3@f.jpg@Photo\\2001\\",
        "4@c.jpg@Photo\\1998\\c\\@x@ Австрия@Луг@ 12 ",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    ASSERT_EQ(model.PhotoCount(), 4);
    // The kept leading space sorts first, then the empty country's "@"; "австрия@A" comes before
    // "Австрия@b" only when case is ignored.
    EXPECT_EQ(model.Photos[0], (TPhoto { "c.jpg", "Photo\\1998\\c\\", W(" Австрия"), W("Луг"), 1998, " 12 " }));
    EXPECT_EQ(model.Photos[1], (TPhoto { "f.jpg", "Photo\\2001\\", "", "", 2001, "" }));
    EXPECT_EQ(model.Photos[2], (TPhoto { "A.jpg", "Photo\\1999\\a\\", W("австрия"), W("Поле"), 1999, "11.07.1999" }));
    EXPECT_EQ(model.Photos[3], (TPhoto { "b.jpg", "Photo\\1999\\b\\", W("Австрия"), W("Зеленое"), 1999, "10.07.1999" }));
}

TEST(FormCreate, BuildsTheYearAndCountryBranchesWithPlaceLists)
{
    TestDisc disc;
    disc.photos = Lines({
        "1@01.jpg@Photo\\1995\\x\\@x@Германия@Бонн@t1",
        "2@02.jpg@Photo\\1995\\x\\@x@Германия@Ахен@t2",
        "3@03.jpg@Photo\\1995\\x\\@x@Германия@Бонн@T3",
        "4@04.jpg@Photo\\1995\\y\\@x@Австрия@Вена@t4",
        "5@05.jpg@Photo\\1989\\z\\@x@Австрия@Грац@t5",
        "6@06.jpg@Photo\\1997\\z\\@x@Франция@Париж@t6",
        "7@07.jpg@Photo\\2006\\z\\@x@Германия@Кёльн@t7",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");

    auto expected = Concat(YearNodes({ { 1995, { { "Австрия", 2 }, { "Вена", 3 }, { "Германия", 2 }, { "Ахен", 3 }, { "Бонн", 3 } } },
                               { 1997, { { "Франция", 2 }, { "Париж", 3 } } } }),
        CountryNodes({ { "Австрия", { { "1989", 2 }, { "Грац", 3 }, { "1995", 2 }, { "Вена", 3 } } },
            { "Германия", { { "1995", 2 }, { "Ахен", 3 }, { "Бонн", 3 }, { "2006", 2 }, { "Кёльн", 3 } } } }));
    EXPECT_EQ(Nodes(model.FotoTree), expected);
    EXPECT_EQ(model.CountryBranchIndex, 24);
    EXPECT_EQ(Cp1251ToUtf8(model.FotoTree.Node(24).Caption), "Страна");

    ASSERT_EQ(model.PlaceCount(), 4);
    EXPECT_EQ(model.PlaceLists[0].NodeIndex, 8);
    EXPECT_EQ(model.PlaceLists[1].NodeIndex, 10);
    EXPECT_EQ(model.PlaceLists[2].NodeIndex, 11);
    EXPECT_EQ(model.PlaceLists[3].NodeIndex, 15);
    EXPECT_THAT(Utf8(model.PlaceLists[0].Pictures), ElementsAre("Photo\\1995\\y\\04.jpg@t4"));
    EXPECT_THAT(Utf8(model.PlaceLists[2].Pictures), ElementsAre("Photo\\1995\\x\\01.jpg@t1", "Photo\\1995\\x\\03.jpg@T3"));
    EXPECT_EQ(model.FindPlaceList(11), 2);
    EXPECT_EQ(model.FindPlaceList(9), -1);
    EXPECT_THAT(Utf8(model.Years), ElementsAre("1990", "1991", "1992", "1993", "1994", "1995", "1996", "1997", "1998",
                                       "1999", "2000", "2001", "2002", "2003", "2004", "2005"));
    EXPECT_EQ(model.Countries.Count(), 16);
}

TEST(FormCreate, SortsEachPlaceListWithoutRegardToCase)
{
    TestDisc disc;
    disc.photos = Lines({
        "1@c.jpg@Photo\\2000\\p\\@x@США@Поле@в",
        "2@B.jpg@Photo\\2000\\p\\@x@США@Поле@б",
        "3@a.jpg@Photo\\2000\\p\\@x@США@Поле@а",
        "4@a.jpg@Photo\\2000\\P\\@x@США@Поле@г",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    ASSERT_EQ(model.PlaceCount(), 1);
    // Bytes would put "P\" and "B.jpg" first.
    EXPECT_THAT(Utf8(model.PlaceLists[0].Pictures),
        ElementsAre("Photo\\2000\\p\\a.jpg@а", "Photo\\2000\\P\\a.jpg@г", "Photo\\2000\\p\\B.jpg@б", "Photo\\2000\\p\\c.jpg@в"));
}

TEST(FormCreate, PicturesWithoutAPlaceJoinTheSlotMadeLastOrNoneBeforeTheFirst)
{
    TestDisc disc;
    disc.photos = Lines({
        "1@01.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t1",
        "2@02.jpg@Photo\\1996\\x\\@x@Германия@@t2",
        "3@03.jpg@Photo\\1990\\x\\@x@Бельгия@@t3",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    ASSERT_EQ(model.PlaceCount(), 1);
    EXPECT_THAT(Utf8(model.PlaceLists[0].Pictures), ElementsAre("Photo\\1995\\x\\01.jpg@t1", "Photo\\1996\\x\\02.jpg@t2"));
    auto expected = Concat(YearNodes({ { 1990, { { "Бельгия", 2 } } }, { 1995, { { "Австрия", 2 }, { "Вена", 3 } } },
                               { 1996, { { "Германия", 2 } } } }),
        CountryNodes({ { "Австрия", { { "1995", 2 }, { "Вена", 3 } } }, { "Бельгия", { { "1990", 2 } } },
            { "Германия", { { "1996", 2 } } } }));
    EXPECT_EQ(Nodes(model.FotoTree), expected);
}

TEST(FormCreate, CountryBranchStartsItsYearScanAtZero)
{
    TestDisc disc;
    disc.photos = Lines({
        "1@01.jpg@Photo\\0000\\x\\@x@Австрия@Вена@t",
        "2@02.jpg@Photo\\-001\\x\\@x@Австрия@Грац@t",
        "3@03.jpg@Photo\\0000\\x\\@x@Бельгия@Льеж@t",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    auto expected = Concat(YearNodes({}),
        CountryNodes({ { "Австрия", { { "-1", 2 }, { "Грац", 3 }, { "0", 2 }, { "Вена", 3 } } } }));
    EXPECT_EQ(Nodes(model.FotoTree), expected);
    EXPECT_EQ(model.PlaceCount(), 0);
}

TEST(FormCreate, CaseVariantsOfACountryInterleaveAndRepeatItsNodes)
{
    // "США@a" < "сША@b" < "США@c" without regard to case, so the year scan meets the countries
    // three times and the exact comparison adds three country nodes, each with all its places.
    TestDisc disc;
    disc.photos = Lines({
        "1@a.jpg@Photo\\2003\\x\\@x@США@Юта@t",
        "2@b.jpg@Photo\\2003\\x\\@x@сША@Юта@t",
        "3@c.jpg@Photo\\2003\\x\\@x@США@Огайо@t",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    auto expected = Concat(YearNodes({ { 2003, { { "США", 2 }, { "Огайо", 3 }, { "Юта", 3 }, { "сША", 2 }, { "Юта", 3 },
                                                 { "США", 2 }, { "Огайо", 3 }, { "Юта", 3 } } } }),
        CountryNodes({ { "США", { { "2003", 2 }, { "Огайо", 3 }, { "Юта", 3 } } } }));
    EXPECT_EQ(Nodes(model.FotoTree), expected);
    ASSERT_EQ(model.PlaceCount(), 5);
    EXPECT_EQ(model.PlaceLists[4].Pictures.Text(), model.PlaceLists[1].Pictures.Text());
}

TEST(LoadSchemes, GroupsConsecutiveLinesAndLinksTheFirstMatchingPhotograph)
{
    TestDisc disc;
    disc.photos = Lines({
        "1@01.jpg@Photo\\1995\\x\\@x@Германия@Бонн@t1",
        "2@02.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t2",
    });
    disc.schemes = Lines({
        "1@@first lines without a folder belong to no scheme",
        "1@Graphics\\1995\\x\\@a",
        "2@Graphics\\1995\\x\\@a",
        "3@Graphics\\1996\\q\\@a",
        "4@Graphics\\1995\\x\\",
        "5@Graphics\\1995\\X\\",
    });
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    ASSERT_EQ(model.SchemeCount(), 4);
    EXPECT_EQ(model.Schemes[0], (TGraphic { 1995, 1, "Graphics\\1995\\x\\", W("Австрия Вена t2"), W("Вена") }));
    EXPECT_EQ(model.Schemes[1], (TGraphic { 1996, 0, "Graphics\\1996\\q\\", "", "" }));
    EXPECT_EQ(model.Schemes[2], (TGraphic { 1995, 0, "Graphics\\1995\\x\\", W("Австрия Вена t2"), W("Вена") }));
    EXPECT_EQ(model.Schemes[3].InfoText, ""); // folder names compare with case
    EXPECT_THAT(Utf8(model.SchemeItems), ElementsAre("Вена", "", "Вена", ""));
}

TEST(LoadNaska, GroupsFiguresNumbersTheirNodesAndLabelsTheFirstTwenty)
{
    std::string naska = Lines({ "1@fig1@Кондор@x", "2@fig1@не читается", "3@fig2@Кит" });
    for (int i = 3; i <= 21; ++i)
        naska += "1@f" + std::to_string(i) + "@c" + std::to_string(i) + "\r\n";
    TestDisc disc;
    disc.naska = naska;
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    ASSERT_EQ(model.NaskaCount(), 21);
    EXPECT_EQ(model.NaskaItems[0], (TNaskaData { 8, 1, "fig1", W("Кондор"), W("Алькатрас") }));
    EXPECT_EQ(model.NaskaItems[1], (TNaskaData { 9, 0, "fig2", W("Кит"), W("Астронавт") }));
    EXPECT_EQ(Cp1251ToUtf8(model.NaskaItems[19].LabelText), "Кит");
    EXPECT_EQ(model.NaskaItems[20].LabelText, "");
    EXPECT_EQ(model.NaskaItems[20].NodeIndex, 28);
    auto nodes = Nodes(model.NaskaTree);
    ASSERT_EQ(nodes.size(), 29u);
    EXPECT_THAT(std::vector(nodes.begin(), nodes.begin() + 10),
        ElementsAre(std::pair<std::string, int> { "Наска", 0 }, std::pair<std::string, int> { "Статьи", 1 },
            std::pair<std::string, int> { "Культура Наска", 2 }, std::pair<std::string, int> { "Неземной разум", 2 },
            std::pair<std::string, int> { "Плато Наска", 2 }, std::pair<std::string, int> { "Огни пустыни", 2 },
            std::pair<std::string, int> { "Рисунки Наска", 2 }, std::pair<std::string, int> { "Фото", 1 },
            std::pair<std::string, int> { "Кондор", 2 }, std::pair<std::string, int> { "Кит", 2 }));
}

TEST(FormCreate, FillsTheBuiltInListsAndFolders)
{
    CatalogueModel model;
    ASSERT_EQ(Build(model, TestDisc {}), "");
    ASSERT_EQ(model.Videos.size(), 13u);
    EXPECT_EQ(model.Videos[3], (TVideo { "2005_33.MPG", W("Великобритания"), "Wiltshire, Avebury Henge", "24.07.2005" }));
    EXPECT_EQ(model.Videos[12], (TVideo { "UFO_Field_Forming.mpg", "", "", "" }));
    EXPECT_EQ(model.VideoItems[0], "Quenlow");
    EXPECT_EQ(model.VideoItems[8], "Wiltshire, Old Shaw Village");
    EXPECT_EQ(model.VideoItems[12], "UFO Field Forming");
    EXPECT_THAT(Utf8(model.ArticleItems), ElementsAre("Биологические изменения", "Круги на полях", "Ответ на послание",
                                              "Рисунки на полях", "Чиболтонское послание 2002 года"));
    EXPECT_EQ(model.VideoFolder, "Video\\");
    EXPECT_EQ(model.ArticlesFolder, "Articles\\");
    EXPECT_EQ(model.NaskaFolder, "Naska\\");
    // An empty catalogue still has every year and country node, and "Все" last.
    EXPECT_EQ(model.FotoTree.Count(), 1 + 16 + 1 + 16 + 1);
    EXPECT_EQ(model.PlaceCount(), 0);
    EXPECT_EQ(model.NaskaTree.Count(), 8);
}

TEST(FormCreate, AnErrorEndsTheConstructionAndKeepsWhatWasRead)
{
    struct Case {
        const char* name;
        TestDisc disc;
        std::string message;
        int photos;
        int schemes;
    };
    TestDisc empty_last_line;
    empty_last_line.photos = Lines({ "1@01.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t1" }) + "\r\n";
    TestDisc short_folder;
    short_folder.photos = Lines({ "1@01.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t1", "2@02.jpg@Photo\\" });
    TestDisc bad_year;
    bad_year.photos = Lines({ "1@01.jpg@Photo\\19x5\\x\\@x@Австрия@Вена@t1" });
    TestDisc no_photos;
    no_photos.photos.reset();
    TestDisc no_naska;
    no_naska.photos = Lines({ "1@01.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t1" });
    no_naska.schemes = Lines({ "1@Graphics\\1995\\x\\" });
    no_naska.naska.reset();
    TestDisc bad_scheme;
    bad_scheme.schemes = Lines({ "1@Graphics\\1995\\x\\", "2@Graphics\\abcd\\x\\", "3@Graphics\\1996\\x\\" });
    TestDisc empty_scheme;
    empty_scheme.schemes = Lines({ "1@Graphics\\1995\\x\\", "2@" });

    for (const Case& c : { Case { "empty last line", empty_last_line, "'' is not a valid integer value", 2, 0 },
             Case { "folder too short for a year", short_folder, "'' is not a valid integer value", 2, 0 },
             Case { "year that is no number", bad_year, "'19x5' is not a valid integer value", 1, 0 },
             Case { "missing photo file", no_photos, "File not found", 0, 0 },
             Case { "missing Nazca file", no_naska, "File not found", 1, 1 },
             Case { "scheme year that is no number", bad_scheme, "'abcd' is not a valid integer value", 0, 2 },
             Case { "empty scheme folder after a scheme", empty_scheme, "'' is not a valid integer value", 0, 2 } }) {
        SCOPED_TRACE(c.name);
        CatalogueModel model;
        bool before_trees = false;
        BuildHooks hooks = HooksFor(c.disc);
        hooks.BeforeTrees = [&] { before_trees = true; };
        std::string message;
        try {
            BuildCatalogue(model, hooks);
        } catch (const Exception& error) {
            message = error.Message();
        }
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(model.PhotoCount(), c.photos);
        EXPECT_EQ(model.SchemeCount(), c.schemes);
        EXPECT_FALSE(before_trees);
        EXPECT_EQ(model.FotoTree.Count(), 0);
        EXPECT_EQ(model.NaskaTree.Count(), 0);
        EXPECT_EQ(model.PlaceCount(), 0);
        EXPECT_EQ(model.SchemeItems.Count() + model.VideoItems.Count() + model.ArticleItems.Count(), 0);
        EXPECT_EQ(model.VideoFolder, "Video\\");
        EXPECT_EQ(model.NaskaFolder, "");
        EXPECT_EQ(model.ArticlesFolder, "");
    }
}

TEST(FormCreate, BeforeTreesRunsOnceBetweenReadingAndBuilding)
{
    TestDisc disc;
    disc.photos = Lines({ "1@01.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t1" });
    CatalogueModel model;
    int calls = 0;
    BuildHooks hooks = HooksFor(disc);
    hooks.BeforeTrees = [&] {
        ++calls;
        EXPECT_EQ(model.PhotoCount(), 1);
        EXPECT_EQ(model.Years.Count(), 16);
        EXPECT_EQ(model.FotoTree.Count(), 0);
    };
    BuildCatalogue(model, hooks);
    EXPECT_EQ(calls, 1);
}

TEST(FormCreate, OddBytesAndHugeLinesAreKeptAsText)
{
    std::string nul_place = std::string("A\0B", 3);
    std::string huge_place(1 << 20, 'x');
    TestDisc disc;
    disc.photos = "1@01.jpg@Photo\\1995\\x\\@x@" + W("Австрия") + "@" + nul_place + "@t\x98\r\n"
        + "2@02.jpg@Photo\\1995\\x\\@x@" + W("Австрия") + "@" + huge_place + "@t\r\n"
        + "3@03.jpg@Photo\\1995\\x\\@x@\x98\x98@\x98@t\r\n";
    disc.naska = std::string("1@\0fig@\x98\r\n", 10);
    CatalogueModel model;
    ASSERT_EQ(Build(model, disc), "");
    ASSERT_EQ(model.PlaceCount(), 3);
    std::vector<std::string> places;
    for (const PlaceList& slot : model.PlaceLists)
        places.push_back(model.FotoTree.Node(slot.NodeIndex).Caption);
    EXPECT_THAT(places, testing::UnorderedElementsAre(nul_place, huge_place, "\x98"));
    EXPECT_EQ(model.NaskaItems.at(0).Folder, std::string("\0fig", 4));
}

// The real disc: files found through the disc-path layer, relative to the current directory.
class FormCreateOnDisc : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = std::filesystem::current_path();
        m_root = std::filesystem::temp_directory_path() / ("velmar-catalogue-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
        std::filesystem::current_path(m_root);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_saved);
        std::filesystem::remove_all(m_root);
    }
    static void Write(const std::filesystem::path& path, const std::string& content)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }
    std::filesystem::path m_saved, m_root;
};

TEST_F(FormCreateOnDisc, FindsTheFilesInAnotherCase)
{
    Write("DB/PHOTO.TXT", Lines({ "1@01.jpg@Photo\\1995\\x\\@x@Австрия@Вена@t1" }));
    Write("DB/graphics.txt", "");
    Write("DB/Naska.TXT", Lines({ "1@fig@Кит" }));
    CatalogueModel model;
    BuildCatalogue(model);
    EXPECT_EQ(model.PlaceCount(), 1);
    EXPECT_EQ(model.NaskaCount(), 1);
}

TEST_F(FormCreateOnDisc, MissingOrFolderFilesEndTheConstructionWithAClearMessage)
{
    CatalogueModel model;
    try {
        BuildCatalogue(model);
        FAIL() << "built without a catalogue";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), "File not found");
    }
    EXPECT_EQ(model.FotoTree.Count(), 0);

    std::filesystem::create_directories("db/Photo.txt");
    try {
        BuildCatalogue(model);
        FAIL() << "read a folder";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), "Cannot read \"db\\Photo.txt\": it is a folder, not a file");
    }
}

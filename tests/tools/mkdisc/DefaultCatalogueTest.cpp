// The default disc's catalogue, checked without drawing its pictures: the photo tree's year branch
// that the program builds from "db\Photo.txt" must have 591 nodes with 538 places.

#include "DiscPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

struct PhotoRecord {
    std::string country, file_name, folder, place, date_text;
    int year { 0 };
};

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

std::vector<PhotoRecord> ReadPhotos(const std::string& text)
{
    std::vector<PhotoRecord> photos;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos)
            break;
        auto f = Split(text.substr(start, end - start), '@');
        start = end + 2;
        EXPECT_GE(f.size(), 7u);
        f.resize(7);
        PhotoRecord p { f[4], f[1], f[2], f[5], f[6] };
        p.year = std::stoi(f[2].substr(6, 4));
        photos.push_back(p);
    }
    return photos;
}

// Case folding of Windows-1251 text for the sort key (ASCII and Cyrillic letters).
std::string Folded(const std::string& text)
{
    std::string out = text;
    for (char& c : out) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 'A' && b <= 'Z')
            c = char(b + 32);
        else if (b >= 0xC0 && b <= 0xDF)
            c = char(b + 32);
    }
    return out;
}

struct Branch {
    int nodes { 0 };
    int places { 0 };
    std::set<std::string> countries;
};

// The year branch as the program builds it: photographs ordered by country (then the rest of
// the key), a work copy ordered by place; for each year 1990..2005 a node, a node per country met
// in photograph order, and a node per change of place among that country's and year's records.
Branch BuildYearBranch(std::vector<PhotoRecord> photos)
{
    auto key = [](const PhotoRecord& p) {
        return Folded(p.country + "@" + p.file_name + "@" + p.folder + "@" + p.place + "@" + p.date_text + "@"
            + std::to_string(p.year));
    };
    std::sort(photos.begin(), photos.end(), [&](const auto& a, const auto& b) { return key(a) < key(b); });
    std::vector<PhotoRecord> work = photos;
    std::stable_sort(work.begin(), work.end(), [](const auto& a, const auto& b) { return a.place < b.place; });
    Branch branch;
    branch.nodes = 1;
    for (int year = 1990; year <= 2005; ++year) {
        ++branch.nodes;
        std::string last_country;
        for (const PhotoRecord& p : photos) {
            if (p.country == last_country || p.year != year)
                continue;
            ++branch.nodes;
            last_country = p.country;
            branch.countries.insert(p.country);
            std::string last_place;
            for (const PhotoRecord& q : work) {
                if (q.place != last_place && q.country == last_country && q.year == year) {
                    ++branch.nodes;
                    ++branch.places;
                    last_place = q.place;
                }
            }
        }
    }
    return branch;
}

} // namespace

TEST(DefaultCatalogue, YearBranchHas591NodesAnd538Places)
{
    DiscPlan plan = DiscPlan::Make(DiscPlan::Size::Default);
    std::vector<PhotoRecord> photos = ReadPhotos(plan.PhotoCatalogue());
    Branch branch = BuildYearBranch(photos);
    EXPECT_EQ(branch.nodes, 591);
    EXPECT_EQ(branch.places, 538);
    EXPECT_EQ(plan.YearBranchSize().nodes, 591);
    EXPECT_EQ(plan.YearBranchSize().places, 538);

    // About 1,600 photographs, all with seven-character names.
    EXPECT_GE(photos.size(), 1450u);
    EXPECT_LE(photos.size(), 1750u);
    for (const PhotoRecord& p : photos)
        ASSERT_EQ(p.file_name.size(), 7u);

    // The sixteen built-in countries all have photographs, in the branch or before and after it.
    std::set<std::string> all_countries;
    bool outside_range = false;
    for (const PhotoRecord& p : photos) {
        all_countries.insert(p.country);
        outside_range = outside_range || p.year < 1990 || p.year > 2005;
    }
    EXPECT_TRUE(outside_range);
    EXPECT_EQ(all_countries.size(), 18u) << "the sixteen built-in countries and two others";
    EXPECT_EQ(branch.countries.size(), 18u);
}

TEST(DefaultCatalogue, HundredSchemesLinkedToPhotographsAndTwentyFigures)
{
    DiscPlan plan = DiscPlan::Make(DiscPlan::Size::Default);
    std::vector<PhotoRecord> photos = ReadPhotos(plan.PhotoCatalogue());
    std::string schemes = plan.SchemeCatalogue();
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (start < schemes.size()) {
        std::size_t end = schemes.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        std::string folder = Split(schemes.substr(start, end - start), '@').at(1);
        if (folders.empty() || folders.back() != folder)
            folders.push_back(folder);
        start = end + 2;
    }
    EXPECT_EQ(folders.size(), 100u);
    for (const std::string& folder : folders) {
        bool linked = std::any_of(photos.begin(), photos.end(),
            [&](const PhotoRecord& p) { return p.folder.substr(6) == folder.substr(9); });
        EXPECT_TRUE(linked) << folder;
    }
    int animated = 0;
    for (const auto& s : plan.Schemes())
        animated += s.animated;
    EXPECT_GE(animated, 3);

    ASSERT_EQ(plan.NaskaFigures().size(), 20u);
    int most = 0, fewest = 99;
    for (const auto& f : plan.NaskaFigures()) {
        most = std::max(most, f.pictures);
        fewest = std::min(fewest, f.pictures);
    }
    EXPECT_EQ(most, 13);
    EXPECT_EQ(fewest, 1);
}

#include "DiscPlan.h"

#include "DiscError.h"
#include "Random.h"
#include "Windows1251.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

const char* const s_uk = "Великобритания";

const std::map<std::string, std::vector<std::string>>& PlaceNames()
{
    static const std::map<std::string, std::vector<std::string>> names = {
        { s_uk,
            { "Wiltshire, Alton Barnes", "Wiltshire, Alton Priors", "Wiltshire, Avebury",
                "Wiltshire, Avebury Trusloe", "Wiltshire, Beckhampton", "Wiltshire, Bishops Cannings",
                "Wiltshire, Cherhill", "Wiltshire, East Field", "Wiltshire, East Kennett",
                "Wiltshire, West Kennett", "Wiltshire, Silbury Hill", "Wiltshire, Milk Hill",
                "Wiltshire, Knap Hill", "Wiltshire, Adam's Grave", "Wiltshire, Golden Ball Hill",
                "Wiltshire, Woodborough Hill", "Wiltshire, Pewsey", "Wiltshire, Oliver's Castle",
                "Wiltshire, Roundway", "Wiltshire, Windmill Hill", "Wiltshire, Waden Hill",
                "Wiltshire, Etchilhampton", "Wiltshire, Hackpen Hill", "Wiltshire, Barbury Castle",
                "Wiltshire, Liddington Castle", "Wiltshire, Ogbourne St George", "Wiltshire, Ogbourne Maizey",
                "Wiltshire, Marlborough", "Wiltshire, Savernake Forest", "Wiltshire, Froxfield",
                "Wiltshire, Winterbourne Bassett", "Wiltshire, Yatesbury", "Wiltshire, Calne",
                "Wiltshire, Devizes", "Wiltshire, Stonehenge", "Wiltshire, Wilsford",
                "Wiltshire, Allington Down", "Wiltshire, Bishopstone", "Wiltshire, Wroughton",
                "Wiltshire, Swindon", "Wiltshire, Chiseldon", "Wiltshire, Burderop Down",
                "Wiltshire, Honeystreet", "Wiltshire, Stanton St Bernard", "Wiltshire, All Cannings",
                "Wiltshire, Lockeridge", "Wiltshire, Fyfield Down", "Wiltshire, Overton Hill",
                "Wiltshire, Aldbourne", "Wiltshire, Huish", "Wiltshire, Martinsell Hill",
                "Wiltshire, Wootton Rivers", "Wiltshire, The Ridgeway", "Wiltshire, Old Shaw Village",
                "Wiltshire, Tawsmead Copse", "Wiltshire, Morgan's Hill", "Wiltshire, Westbury",
                "Hampshire, Cheesefoot Head", "Hampshire, Chilbolton", "Hampshire, Danebury",
                "Hampshire, East Meon", "Hampshire, Stockbridge Down", "Hampshire, Longwood Warren",
                "Hampshire, Barton Stacey", "Hampshire, Upham", "Oxfordshire, Uffington",
                "Oxfordshire, Wayland's Smithy", "Oxfordshire, White Horse Hill", "Berkshire, Hinton Parva",
                "Dorset, Cerne Abbas", "Somerset, Glastonbury", "Kent, Boughton Aluph",
                "Sussex, Cissbury Ring", "Gloucestershire, Cirencester" } },
        { "Шотландия", { "Perthshire, Crieff", "Fife, Ceres", "Angus, Forfar", "Lothian, Haddington" } },
        { "Германия",
            { "Hessen, Grebenstein", "Bayern, Raisting", "Niedersachsen, Rahden", "Sachsen, Leipzig",
                "Brandenburg, Potsdam", "Baden-Wuerttemberg, Freiburg" } },
        { "Нидерланды", { "Hoeven", "Dalen", "Hoogstede", "Bergen op Zoom", "Dronten", "Emmeloord" } },
        { "Канада", { "Saskatchewan, Melfort", "Alberta, Lethbridge", "Quebec, Saint-Gerard", "Ontario, Moorefield" } },
        { "США", { "Ohio, Wilmington", "Michigan, Bay City", "Indiana, Kokomo", "Wisconsin, Pepin", "Pennsylvania, Lancaster" } },
        { "Чехия", { "Zdiby", "Plzen", "Chrudim" } },
        { "Италия", { "Piemonte, Poirino", "Piemonte, Vercelli", "Lazio, Latina" } },
        { "Швейцария", { "Bern, Burgdorf", "Thurgau, Frauenfeld", "Luzern, Sursee" } },
        { "Польша", { "Wylatowo", "Poznan", "Gniezno" } },
        { "Мексика", { "Jalisco, Tepatitlan", "Puebla, Cholula" } },
        { "Австрия", { "Niederoesterreich, Melk", "Steiermark, Graz" } },
        { "Бельгия", { "Limburg, Hasselt", "Antwerpen, Lier" } },
        { "Росия",
            { "Краснодарский край, Кореновск", "Ставропольский край, Невинномысск", "Самарская область, Тольятти",
                "Ростовская область, Азов", "Московская область, Дмитров" } },
        { "Словения", { "Ljubljana, Vrhnika", "Maribor, Ptuj" } },
        { "Швеция", { "Skane, Helsingborg", "Uppland, Uppsala" } },
        { "Австралия", { "Queensland, Tully", "Victoria, Geelong" } },
        { "Япония", { "Hokkaido, Sapporo" } },
    };
    return names;
}

struct YearCountries {
    int year;
    std::vector<std::pair<const char*, int>> places; // country, number of places
};

// The default disc. Its photo tree's year branch is built as: the root "Год", one node per year
// 1990..2005 (16), under each year one node per country with photographs of that year, under each
// of those one node per distinct place of that country and year. The table below has 36
// country-year pairs and 538 places (492 in Великобритания, 46 elsewhere, Австралия and Япония
// included, since countries outside the built-in sixteen still appear in the year branch), so the
// branch has 1 + 16 + 36 + 538 = 591 nodes. Photographs of 1989 and 2006 add nothing to it: the
// year branch lists only 1990..2005.
const std::vector<YearCountries>& DefaultYears()
{
    static const std::vector<YearCountries> years = {
        { 1989, { { s_uk, 2 } } },
        { 1990, { { s_uk, 6 } } },
        { 1991, { { s_uk, 10 } } },
        { 1992, { { s_uk, 13 }, { "Канада", 2 } } },
        { 1993, { { s_uk, 16 } } },
        { 1994, { { s_uk, 19 }, { "Германия", 1 } } },
        { 1995, { { s_uk, 22 } } },
        { 1996, { { s_uk, 26 } } },
        { 1997, { { s_uk, 30 }, { "Чехия", 2 } } },
        { 1998, { { s_uk, 34 }, { "США", 3 }, { "Австралия", 1 } } },
        { 1999, { { s_uk, 37 }, { "Нидерланды", 3 } } },
        { 2000, { { s_uk, 40 }, { "Германия", 4 }, { "Италия", 2 } } },
        { 2001, { { s_uk, 43 }, { "США", 3 }, { "Швейцария", 2 }, { "Польша", 2 } } },
        { 2002, { { s_uk, 46 }, { "Мексика", 1 }, { "Нидерланды", 4 } } },
        { 2003, { { s_uk, 48 }, { "Австрия", 2 }, { "Бельгия", 2 } } },
        { 2004, { { s_uk, 50 }, { "Росия", 4 }, { "Словения", 2 }, { "Япония", 1 } } },
        { 2005, { { s_uk, 52 }, { "Швеция", 2 }, { "Шотландия", 3 } } },
        { 2006, { { "Германия", 1 } } },
    };
    return years;
}

// The small disc: a handful of places, a year before the branch's range, a country that is not
// among the built-in sixteen, and many years without photographs.
const std::vector<YearCountries>& SmallYears()
{
    static const std::vector<YearCountries> years = {
        { 1989, { { s_uk, 1 } } },
        { 1990, { { s_uk, 2 } } },
        { 2001, { { s_uk, 3 }, { "Германия", 1 } } },
        { 2003, { { "Австралия", 1 } } },
        { 2005, { { s_uk, 2 }, { "Росия", 1 } } },
    };
    return years;
}

std::string TwoDigits(int n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

} // namespace

DiscPlan DiscPlan::Make(Size size)
{
    DiscPlan plan;
    plan.m_size = size;
    for (const YearCountries& year : size == Size::Default ? DefaultYears() : SmallYears()) {
        int folder_number = 1;
        for (const auto& [country, places] : year.places)
            plan.AddPlaces(year.year, country, places, folder_number);
    }
    if (size == Size::Default) {
        plan.ChooseSchemes(100, 6);
    } else {
        plan.ChooseSchemes(4, 1);
        // A scheme whose folder matches no photograph: an empty caption in the scheme list.
        Scheme orphan;
        orphan.folder = "Graphics\\2006\\01\\";
        orphan.pictures = 2;
        orphan.seed = Random::SeedOf("orphan scheme");
        plan.m_schemes.push_back(orphan);
    }
    plan.AddFigures();
    return plan;
}

void DiscPlan::AddPlaces(int year, const std::string& country, int places, int& folder_number)
{
    const auto found = PlaceNames().find(country);
    if (found == PlaceNames().end() || int(found->second.size()) < places)
        throw EDiscError("not enough place names for " + country);
    // A different choice of places every year, the same on every run.
    std::vector<std::string> names = found->second;
    Random random(Random::SeedOf(country, std::uint64_t(year)));
    for (std::size_t i = names.size() - 1; i > 0; --i)
        std::swap(names[i], names[std::size_t(random.Int(0, int(i)))]);
    names.resize(std::size_t(places));
    std::sort(names.begin(), names.end());
    for (const std::string& place : names) {
        AddFormation(year, country, place, folder_number);
        // Now and then a second formation at the same place later in the summer.
        if (m_size == Size::Default && random.Chance(0.14))
            AddFormation(year, country, place, folder_number);
    }
}

void DiscPlan::AddFormation(int year, const std::string& country, const std::string& place, int& folder_number)
{
    Formation f;
    f.year = year;
    f.country = country;
    f.place = place;
    f.folder = "Photo\\" + std::to_string(year) + "\\" + TwoDigits(folder_number++) + "\\";
    f.seed = Random::SeedOf(f.folder);
    Random random(f.seed);
    int day_of_summer = random.Int(0, 80); // 10 June .. 29 August
    int day = 10 + day_of_summer, month = 6;
    if (day > 30) {
        day -= 30;
        month = 7;
        if (day > 31) {
            day -= 31;
            month = 8;
        }
    }
    f.date_text = TwoDigits(day) + "." + TwoDigits(month) + "." + std::to_string(year);
    f.photo_count = 1 + random.Int(0, 3) + (m_size == Size::Default && random.Chance(0.2) ? 1 : 0);
    int index = int(m_formations.size());
    for (int shot = 0; shot < f.photo_count; ++shot) {
        char name[16];
        std::snprintf(name, sizeof name, "%03d.jpg", shot + 1);
        m_photos.push_back({ index, shot, name });
    }
    m_formations.push_back(std::move(f));
}

void DiscPlan::ChooseSchemes(int count, int animated)
{
    std::vector<int> candidates;
    for (int i = 0; i < int(m_formations.size()); ++i)
        candidates.push_back(i);
    Random random(Random::SeedOf("schemes"));
    for (std::size_t i = candidates.size() - 1; i > 0; --i)
        std::swap(candidates[i], candidates[std::size_t(random.Int(0, int(i)))]);
    candidates.resize(std::min<std::size_t>(candidates.size(), std::size_t(count)));
    std::sort(candidates.begin(), candidates.end());
    for (int i = 0; i < int(candidates.size()); ++i) {
        const Formation& f = m_formations[std::size_t(candidates[std::size_t(i)])];
        Scheme s;
        s.formation = candidates[std::size_t(i)];
        s.folder = "Graphics\\" + f.folder.substr(6);
        s.seed = Random::SeedOf(s.folder);
        s.pictures = random.Int(1, 4);
        m_schemes.push_back(s);
    }
    // Spread the animated ones over the list; they get at least two pictures, the build-up first.
    for (int k = 0; k < animated && !m_schemes.empty(); ++k) {
        Scheme& s = m_schemes[std::size_t(k) * m_schemes.size() / std::size_t(animated) + (m_schemes.size() > 1 ? 1 : 0)];
        s.animated = true;
        s.pictures = std::max(s.pictures, 2);
    }
}

void DiscPlan::AddFigures()
{
    struct Entry {
        const char* folder;
        const char* caption;
        NazcaShape shape;
        int pictures;
    };
    static const Entry entries[] = {
        { "Alcatraz", "Алькатрас", NazcaShape::Alcatraz, 3 },
        { "Astronaut", "Астронавт", NazcaShape::Astronaut, 2 },
        { "CondorChick", "Птенец кондора", NazcaShape::CondorChick, 4 },
        { "Bird", "Птичка", NazcaShape::LittleBird, 2 },
        { "Condor", "Кондор", NazcaShape::Condor, 5 },
        { "Dog", "Собака", NazcaShape::Dog, 3 },
        { "Flower", "Цветок", NazcaShape::Flower, 2 },
        { "Hands", "Руки", NazcaShape::Hands, 4 },
        { "Hummingbird", "Колибри", NazcaShape::Hummingbird, 13 },
        { "Orca", "Касатка", NazcaShape::Orca, 2 },
        { "Maps", "Карты", NazcaShape::Maps, 3 },
        { "Monkey", "Обезьяна", NazcaShape::Monkey, 8 },
        { "Others", "Другие", NazcaShape::Others, 4 },
        { "Parrot", "Папугай", NazcaShape::Parrot, 3 },
        { "Spider", "Паук", NazcaShape::Spider, 6 },
        { "Trapezoids", "Трапеции", NazcaShape::Trapezoids, 3 },
        { "Tree", "Дерево", NazcaShape::Tree, 2 },
        { "Triangles", "Треугольники", NazcaShape::Triangles, 3 },
        { "Vulture", "Гриф", NazcaShape::Vulture, 4 },
        { "Whale", "Кит", NazcaShape::Whale, 1 },
    };
    for (const Entry& e : entries) {
        int pictures = e.pictures;
        if (m_size == Size::Small)
            pictures = e.shape == NazcaShape::Hummingbird ? 3 : (e.shape == NazcaShape::Monkey ? 2 : 1);
        m_figures.push_back({ e.folder, e.caption, e.shape, pictures });
    }
}

DiscPlan::YearBranch DiscPlan::YearBranchSize() const
{
    YearBranch branch;
    branch.nodes = 1 + 16;
    for (int year = 1990; year <= 2005; ++year) {
        std::map<std::string, std::vector<std::string>> places;
        for (const Formation& f : m_formations)
            if (f.year == year)
                places[f.country].push_back(f.place);
        for (auto& [country, names] : places) {
            std::sort(names.begin(), names.end());
            int distinct = int(std::unique(names.begin(), names.end()) - names.begin());
            branch.nodes += 1 + distinct;
            branch.places += distinct;
        }
    }
    return branch;
}

namespace {

std::string Line(const std::string& utf8)
{
    return ToWindows1251(utf8) + "\r\n";
}

} // namespace

std::string DiscPlan::PhotoCatalogue() const
{
    // Fields: number, file name, folder, year, country, place, date.
    std::string text;
    int number = 1;
    for (const Photo& p : m_photos) {
        const Formation& f = m_formations[std::size_t(p.formation)];
        text += Line(std::to_string(number++) + "@" + p.file_name + "@" + f.folder + "@" + std::to_string(f.year) + "@"
            + f.country + "@" + f.place + "@" + f.date_text);
    }
    return text;
}

std::string DiscPlan::SchemeCatalogue() const
{
    // Fields: number, folder, picture file; one line per picture.
    std::string text;
    int number = 1;
    for (const Scheme& s : m_schemes)
        for (int k = 0; k < s.pictures; ++k)
            text += Line(std::to_string(number++) + "@" + s.folder + "@" + TwoDigits(k) + ".gif");
    return text;
}

std::string DiscPlan::NaskaCatalogue() const
{
    // Fields: number, figure folder, caption, picture file; one line per picture.
    std::string text;
    int number = 1;
    for (const NaskaFigure& f : m_figures)
        for (int k = 0; k < f.pictures; ++k)
            text += Line(std::to_string(number++) + "@" + f.folder + "@" + f.caption + "@" + TwoDigits(k) + ".jpg");
    return text;
}

#include "catalogue/CatalogueBuilder.h"

#include "catalogue/BuiltInTables.h"
#include "catalogue/CatalogueReaders.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>
#include <utility>

namespace Catalogue {

namespace {

constexpr int first_year = 1990;
constexpr int last_year = 2005;

// The photographs of one country and year: a run of `order`, which lists the indexes of Photos by
// country, year and place (bytes as unsigned characters, a proper prefix first), equal ones in
// catalogue order. Within a run the photographs are therefore in the order the year-by-year and
// country-by-country scans meet them in a place-sorted copy of the catalogue.
struct Group {
    std::string_view country;
    int year;
    std::size_t begin, end;
};

class PhotoGroups {
public:
    explicit PhotoGroups(const std::vector<TPhoto>& photos)
        : m_photos(photos)
        , m_order(photos.size())
    {
        std::iota(m_order.begin(), m_order.end(), 0);
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const TPhoto& x = photos[std::size_t(a)];
            const TPhoto& y = photos[std::size_t(b)];
            if (int c = x.Country.compare(y.Country))
                return c < 0;
            if (x.Year != y.Year)
                return x.Year < y.Year;
            return x.Place < y.Place;
        });
        for (std::size_t i = 0; i < m_order.size(); ++i) {
            const TPhoto& photo = photos[std::size_t(m_order[i])];
            if (m_groups.empty() || m_groups.back().country != photo.Country || m_groups.back().year != photo.Year)
                m_groups.push_back(Group { photo.Country, photo.Year, i, i });
            m_groups.back().end = i + 1;
        }
    }

    // The groups of `country` from the first whose year is `year` or later, in ascending year.
    std::vector<Group>::const_iterator From(std::string_view country, int year) const
    {
        return std::lower_bound(m_groups.begin(), m_groups.end(), std::pair(country, year), [](const Group& group, const std::pair<std::string_view, int>& key) {
            if (int c = group.country.compare(key.first))
                return c < 0;
            return group.year < key.second;
        });
    }
    std::vector<Group>::const_iterator End() const { return m_groups.end(); }
    const TPhoto& Photo(std::size_t position) const { return m_photos[std::size_t(m_order[position])]; }

private:
    const std::vector<TPhoto>& m_photos;
    std::vector<int> m_order;
    std::vector<Group> m_groups;
};

// The year branch. For every year, a country node each time the country changes along the
// photographs of that year in catalogue order; under it the places of that country and year in place
// order, each with its slot. A photograph without a place adds its picture to the slot made last
// (it sorts before every place, so that is a slot of an earlier country or year); before the first
// slot exists there is none, and such a picture is not listed.
void BuildYearBranch(CatalogueModel& model, const PhotoGroups& groups)
{
    TreeModel& tree = model.FotoTree;
    std::vector<std::vector<int>> photos_of_year(last_year - first_year + 1);
    for (int i = 0; i < model.PhotoCount(); ++i) {
        int year = model.Photos[std::size_t(i)].Year;
        if (year >= first_year && year <= last_year)
            photos_of_year[std::size_t(year - first_year)].push_back(i);
    }

    int root = tree.Add(-1, BuiltIn::Text("Год"));
    for (const std::string& year_text : model.Years) {
        int year_node = tree.Add(root, year_text);
        int year = StrToInt(year_text);
        const std::string* last_country = nullptr;
        for (int index : photos_of_year[std::size_t(year - first_year)]) {
            const TPhoto& photo = model.Photos[std::size_t(index)];
            if (last_country ? photo.Country == *last_country : photo.Country.empty())
                continue;
            int country_node = tree.Add(year_node, photo.Country);
            last_country = &photo.Country;
            const std::string* last_place = nullptr;
            auto group = groups.From(photo.Country, year); // exists: `photo` is in it
            for (std::size_t q = group->begin; q < group->end; ++q) {
                const TPhoto& place_photo = groups.Photo(q);
                bool same_place = last_place ? place_photo.Place == *last_place : place_photo.Place.empty();
                if (!same_place) {
                    PlaceList& slot = model.PlaceLists.emplace_back();
                    slot.NodeIndex = tree.Add(country_node, place_photo.Place);
                    last_place = &place_photo.Place;
                }
                if (!model.PlaceLists.empty())
                    model.PlaceLists.back().Pictures.Add(place_photo.Folder + place_photo.FileName + "@" + place_photo.DateText);
            }
        }
    }
}

// The country branch: for each built-in country its years ascending (a year 0 only after a negative
// one, since the year scan starts from 0), and under each year its places in place order.
void BuildCountryBranch(CatalogueModel& model, const PhotoGroups& groups)
{
    TreeModel& tree = model.FotoTree;
    int root = tree.Add(-1, BuiltIn::Text("Страна"));
    model.CountryBranchIndex = root;
    for (const std::string& country : model.Countries) {
        int country_node = tree.Add(root, country);
        int last_year_seen = 0;
        for (auto group = groups.From(country, std::numeric_limits<int>::min()); group != groups.End() && group->country == country; ++group) {
            int year = group->year;
            if (year == last_year_seen)
                continue;
            int year_node = tree.Add(country_node, std::to_string(year));
            last_year_seen = year;
            const std::string* last_place = nullptr;
            for (std::size_t r = group->begin; r < group->end; ++r) {
                const std::string& place = groups.Photo(r).Place;
                if (last_place ? place == *last_place : place.empty())
                    continue;
                tree.Add(year_node, place);
                last_place = &place;
            }
        }
    }
}

void BuildNaskaTree(CatalogueModel& model)
{
    TreeModel& tree = model.NaskaTree;
    int root = tree.Add(-1, BuiltIn::Text("Наска"));
    int articles = tree.Add(root, BuiltIn::Text("Статьи"));
    for (std::string& caption : BuiltIn::NaskaArticles())
        tree.Add(articles, std::move(caption));
    int photos = tree.Add(root, BuiltIn::Text("Фото"));
    for (TNaskaData& figure : model.NaskaItems)
        figure.NodeIndex = tree.Add(photos, figure.Caption);
}

} // namespace

void BuildCatalogue(CatalogueModel& model, const BuildHooks& hooks)
{
    model = CatalogueModel {};
    model.VideoFolder = "Video\\";

    auto open = [&](std::string_view disc_path) {
        return hooks.OpenFile ? hooks.OpenFile(disc_path) : TextFile(disc_path);
    };
    {
        TextFile file = open("db\\Photo.txt");
        LoadPhotos(file, model.Photos);
    }
    {
        TextFile file = open("db\\Graphics.txt");
        LoadSchemes(file, model.Photos, model.Schemes);
    }
    {
        TextFile file = open("db\\Naska.txt");
        LoadNaska(file, model.NaskaItems);
    }

    // One index sort serves both branches in place of the place-sorted and year-sorted copies
    // that the scans would otherwise walk once per country node.
    PhotoGroups groups(model.Photos);
    for (int year = first_year; year <= last_year; ++year)
        model.Years.Add(std::to_string(year));
    if (hooks.BeforeTrees)
        hooks.BeforeTrees();

    BuildYearBranch(model, groups);

    model.NaskaFolder = "Naska\\";
    for (std::string& country : BuiltIn::Countries())
        model.Countries.Add(std::move(country));
    BuildCountryBranch(model, groups);

    for (PlaceList& slot : model.PlaceLists)
        slot.Pictures.Sort();
    model.FotoTree.Add(-1, BuiltIn::Text("Все"));

    for (const TGraphic& scheme : model.Schemes)
        model.SchemeItems.Add(scheme.Place);
    model.Videos = BuiltIn::Videos();
    for (std::string& caption : BuiltIn::VideoCaptions())
        model.VideoItems.Add(std::move(caption));
    model.ArticlesFolder = "Articles\\";
    for (std::string& title : BuiltIn::ArticleTitles())
        model.ArticleItems.Add(std::move(title));
    BuildNaskaTree(model);
    std::vector<std::string> labels = BuiltIn::NaskaLabels();
    for (std::size_t i = 0; i < labels.size() && i < model.NaskaItems.size(); ++i)
        model.NaskaItems[i].LabelText = labels[i];
}

} // namespace Catalogue

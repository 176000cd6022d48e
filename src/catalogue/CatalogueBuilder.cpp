#include "catalogue/CatalogueBuilder.h"

#include "catalogue/BuiltInTables.h"
#include "catalogue/CatalogueReaders.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <utility>

namespace Catalogue {

namespace {

constexpr int first_year = 1990;
constexpr int last_year = 2005;

// The photographs of one country and year, as indexes into the place-sorted copy, in its order.
using PlaceGroups = std::map<std::pair<std::string, int>, std::vector<int>>;

PlaceGroups GroupByCountryAndYear(const std::vector<TPhoto>& by_place)
{
    PlaceGroups groups;
    for (int i = 0; i < int(by_place.size()); ++i) {
        const TPhoto& photo = by_place[std::size_t(i)];
        groups[{ photo.Country, photo.Year }].push_back(i);
    }
    return groups;
}

// The year branch. For every year, a country node each time the country changes along the
// photographs of that year in catalogue order; under it the places of that country and year in place
// order, each with its slot. A photograph without a place adds its picture to the slot made last
// (it sorts before every place, so that is a slot of an earlier country or year); before the first
// slot exists there is none, and such a picture is not listed.
void BuildYearBranch(CatalogueModel& model, const std::vector<TPhoto>& by_place, const PlaceGroups& groups)
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
            for (int q : groups.at({ photo.Country, year })) {
                const TPhoto& place_photo = by_place[std::size_t(q)];
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
void BuildCountryBranch(CatalogueModel& model, const std::vector<TPhoto>& by_place, const PlaceGroups& groups)
{
    TreeModel& tree = model.FotoTree;
    int root = tree.Add(-1, BuiltIn::Text("Страна"));
    model.CountryBranchIndex = root;
    for (const std::string& country : model.Countries) {
        int country_node = tree.Add(root, country);
        int last_year_seen = 0;
        for (auto it = groups.lower_bound({ country, std::numeric_limits<int>::min() });
             it != groups.end() && it->first.first == country; ++it) {
            int year = it->first.second;
            if (year == last_year_seen)
                continue;
            int year_node = tree.Add(country_node, std::to_string(year));
            last_year_seen = year;
            const std::string* last_place = nullptr;
            for (int r : it->second) {
                const std::string& place = by_place[std::size_t(r)].Place;
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

void SortPhotos(std::vector<TPhoto>& photos, int key)
{
    if (key == 4)
        std::stable_sort(photos.begin(), photos.end(), [](const TPhoto& a, const TPhoto& b) { return a.Place < b.Place; });
    else if (key == 6)
        std::stable_sort(photos.begin(), photos.end(), [](const TPhoto& a, const TPhoto& b) { return a.Year < b.Year; });
}

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

    // The place-sorted copy serves both branches: grouped by country and year, each group keeps
    // place order. (std::string compares bytes as unsigned characters, a proper prefix first.)
    std::vector<TPhoto> by_place = model.Photos;
    SortPhotos(by_place, 4);
    for (int year = first_year; year <= last_year; ++year)
        model.Years.Add(std::to_string(year));
    if (hooks.BeforeTrees)
        hooks.BeforeTrees();

    PlaceGroups groups = GroupByCountryAndYear(by_place);
    BuildYearBranch(model, by_place, groups);

    model.NaskaFolder = "Naska\\";
    for (std::string& country : BuiltIn::Countries())
        model.Countries.Add(std::move(country));
    BuildCountryBranch(model, by_place, groups);

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

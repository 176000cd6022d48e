#include "ReferenceCatalogue.h"

#include "catalogue/BuiltInTables.h"
#include "catalogue/CatalogueReaders.h"
#include "framework/TextFile.h"

using namespace Catalogue;

namespace {

void ExchangeSort(std::vector<TPhoto>& photos, int key)
{
    if (key != 4 && key != 6)
        return;
    auto greater = [key](const TPhoto& a, const TPhoto& b) { return key == 4 ? a.Place > b.Place : a.Year > b.Year; };
    for (std::size_t p = 0; p + 1 < photos.size(); ++p) {
        for (std::size_t j = photos.size() - 1; j > p; --j) {
            if (greater(photos[p], photos[j]))
                std::swap(photos[p], photos[j]);
        }
    }
}

void ReferenceLoadSchemes(TextFile& file, const std::vector<TPhoto>& photos, std::vector<TGraphic>& schemes)
{
    std::string previous;
    std::string line;
    while (file.ReadLine(line)) {
        std::string f(Field(line, 2));
        if (f != previous) {
            schemes.push_back({});
            schemes.back().Folder = f;
            schemes.back().LastPicture = 0;
            schemes.back().Year = StrToInt(Copy(f, 10, 4));
            previous = f;
        } else if (!schemes.empty()) {
            schemes.back().LastPicture += 1;
        }
    }
    for (TGraphic& scheme : schemes) {
        std::string key(Copy(scheme.Folder, 10));
        for (const TPhoto& photo : photos) {
            if (Copy(photo.Folder, 7) == key) {
                scheme.InfoText = photo.Country + " " + photo.Place + " " + photo.DateText;
                scheme.Place = photo.Place;
                break;
            }
        }
    }
}

} // namespace

void BuildReferenceCatalogue(CatalogueModel& model, const CatalogueTexts& texts)
{
    model = CatalogueModel {};
    model.VideoFolder = "Video\\";
    TextFile photo_file = TextFile::FromBytes(texts.photos);
    LoadPhotos(photo_file, model.Photos);
    std::vector<TPhoto> work = model.Photos;
    TextFile scheme_file = TextFile::FromBytes(texts.schemes);
    ReferenceLoadSchemes(scheme_file, model.Photos, model.Schemes);
    TextFile naska_file = TextFile::FromBytes(texts.naska);
    LoadNaska(naska_file, model.NaskaItems);

    ExchangeSort(work, 4);
    std::vector<TPhoto> place_copy = work;
    for (int y = 1990; y <= 2005; ++y)
        model.Years.Add(std::to_string(y));

    TreeModel& tree = model.FotoTree;
    int root = tree.Add(-1, BuiltIn::Text("Год"));
    for (const std::string& y : model.Years) {
        int year_node = tree.Add(root, y);
        int year = StrToInt(y);
        std::string last_country;
        int country_node = -1;
        for (const TPhoto& p : model.Photos) {
            if (p.Country != last_country && p.Year == year) {
                country_node = tree.Add(year_node, p.Country);
                last_country = p.Country;
                std::string last_place;
                for (const TPhoto& q : work) {
                    if (q.Place != last_place && q.Country == last_country && q.Year == year) {
                        model.PlaceLists.push_back({});
                        model.PlaceLists.back().NodeIndex = tree.Add(country_node, q.Place);
                        last_place = q.Place;
                    }
                    if (q.Place == last_place && q.Country == last_country && q.Year == year && !model.PlaceLists.empty())
                        model.PlaceLists.back().Pictures.Add(q.Folder + q.FileName + "@" + q.DateText);
                }
            }
        }
    }

    model.NaskaFolder = "Naska\\";
    for (const std::string& c : BuiltIn::Countries())
        model.Countries.Add(c);
    ExchangeSort(work, 6);
    int country_root = tree.Add(-1, BuiltIn::Text("Страна"));
    model.CountryBranchIndex = country_root;
    for (const std::string& c : model.Countries) {
        int country_node = tree.Add(country_root, c);
        int last_year = 0;
        for (const TPhoto& q : work) {
            if (q.Year != last_year && q.Country == c) {
                int year_node = tree.Add(country_node, std::to_string(q.Year));
                last_year = q.Year;
                std::string last_place;
                for (const TPhoto& r : place_copy) {
                    if (r.Place != last_place && r.Country == c && r.Year == last_year) {
                        tree.Add(year_node, r.Place);
                        last_place = r.Place;
                    }
                }
            }
        }
    }
    work.clear();
    for (PlaceList& slot : model.PlaceLists)
        slot.Pictures.Sort();
    tree.Add(-1, BuiltIn::Text("Все"));

    for (const TGraphic& s : model.Schemes)
        model.SchemeItems.Add(s.Place);
    model.Videos = BuiltIn::Videos();
    for (const std::string& caption : BuiltIn::VideoCaptions())
        model.VideoItems.Add(caption);
    model.ArticlesFolder = "Articles\\";
    for (const std::string& title : BuiltIn::ArticleTitles())
        model.ArticleItems.Add(title);

    TreeModel& naska = model.NaskaTree;
    int naska_root = naska.Add(-1, BuiltIn::Text("Наска"));
    int articles = naska.Add(naska_root, BuiltIn::Text("Статьи"));
    for (const std::string& a : BuiltIn::NaskaArticles())
        naska.Add(articles, a);
    int photos = naska.Add(naska_root, BuiltIn::Text("Фото"));
    for (TNaskaData& figure : model.NaskaItems)
        figure.NodeIndex = naska.Add(photos, figure.Caption);
    std::vector<std::string> labels = BuiltIn::NaskaLabels();
    for (std::size_t i = 0; i < 20 && i < model.NaskaItems.size(); ++i)
        model.NaskaItems[i].LabelText = labels[i];
}

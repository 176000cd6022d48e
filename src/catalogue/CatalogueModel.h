#pragma once

#include "catalogue/CatalogueRecords.h"
#include "catalogue/TreeModel.h"
#include "framework/TStringList.h"

#include <string>
#include <vector>

namespace Catalogue {

// The picture list of one place node of the photo tree's year branch. Every entry is
// Folder + FileName + "@" + DateText of one photograph.
struct PlaceList {
    int NodeIndex { 0 };   // absolute index of the place node in FotoTree
    TStringList Pictures;

    bool operator==(const PlaceList&) const = default;
};

// Everything the start-up construction makes, independent of any control: the window keeps it for
// its whole life and copies the trees and item lists into its tree views and list boxes.
struct CatalogueModel {
    std::vector<TPhoto> Photos;
    // One slot per place node of the year branch, in node order (NodeIndex ascending). The table
    // grows as places are found; it has no fixed capacity.
    std::vector<PlaceList> PlaceLists;
    std::vector<TGraphic> Schemes;
    std::vector<TVideo> Videos;
    std::vector<TNaskaData> NaskaItems;
    TStringList Countries; // captions of the country branch
    TStringList Years;     // captions of the year branch
    std::string VideoFolder, ArticlesFolder, NaskaFolder;

    TreeModel FotoTree;    // "Год" branch, "Страна" branch, "Все"
    TreeModel NaskaTree;
    TStringList SchemeItems;   // items of SchemeListBox
    TStringList VideoItems;    // items of VideoListBox
    TStringList ArticleItems;  // items of ArticlesListBox
    // Absolute index of "Страна" in FotoTree (where the year branch ends), -1 before it is built.
    int CountryBranchIndex { -1 };

    int PhotoCount() const { return int(Photos.size()); }
    int PlaceCount() const { return int(PlaceLists.size()); }
    int SchemeCount() const { return int(Schemes.size()); }
    int NaskaCount() const { return int(NaskaItems.size()); }

    // The slot of the place node `node_index` of the year branch, or -1.
    int FindPlaceList(int node_index) const;

    bool operator==(const CatalogueModel&) const = default;
};

} // namespace Catalogue

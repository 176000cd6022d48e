#pragma once

#include "catalogue/CatalogueRecords.h"

#include <string>
#include <vector>

// The tables that are part of the program rather than of the disc's catalogue. Texts are returned
// in Windows-1251.
namespace Catalogue::BuiltIn {

// The 16 captions of the country branch, in order.
std::vector<std::string> Countries();
// The 13 clips and, at the same positions, their captions in the video list.
std::vector<TVideo> Videos();
std::vector<std::string> VideoCaptions();
// The five article titles of the article list.
std::vector<std::string> ArticleTitles();
// The captions of the five Nazca articles under "Статьи".
std::vector<std::string> NaskaArticles();
// The information lines of the first 20 Nazca figures.
std::vector<std::string> NaskaLabels();

// Fixed captions, Windows-1251.
std::string Text(const char* utf8);

} // namespace Catalogue::BuiltIn

#pragma once

#include "catalogue/CatalogueModel.h"

#include <string>

// A plain, line-by-line transcription of the start-up construction: exchange sorts and nested
// linear scans, as slow as they are. The randomised test holds the real construction to it.
struct CatalogueTexts {
    std::string photos;   // content of "db\Photo.txt"
    std::string schemes;  // "db\Graphics.txt"
    std::string naska;    // "db\Naska.txt"
};

void BuildReferenceCatalogue(Catalogue::CatalogueModel& model, const CatalogueTexts& texts);

#pragma once

#include "catalogue/CatalogueModel.h"
#include "framework/TextFile.h"

#include <functional>
#include <string_view>

// The start-up construction of the catalogue: the part of the main window's FormCreate that does
// not touch a control.
//
// BuildCatalogue performs, in FormCreate's order: set VideoFolder; read "db\Photo.txt",
// "db\Graphics.txt" and "db\Naska.txt"; order the photographs by country, year and place (one index
// sort stands for the place and year sorts of a work copy); fill Years; [the window's steps, through
// BuildHooks::BeforeTrees]; build the year branch of the photo tree with the picture list of every
// place; set NaskaFolder and fill Countries; build the country branch; sort every picture list; add
// "Все"; fill the scheme, video and article list items; build the Nazca tree, setting each figure's
// NodeIndex, and the labels of the first 20 figures.
//
// The place slots (CatalogueModel::PlaceLists) grow with the catalogue instead of being 538 fixed
// slots. A photograph without a place joins the slot made last; when no slot exists yet it has none
// to join and is left out of the place lists (it still is in Photos and under "Все").
//
// The window's own steps stay with the window: before calling, it shows the Photo tab as selected,
// makes Next and Prev inactive and switches double buffering on (for the window, HeaderPanel and
// MainPanel); in BeforeTrees it sets FotoTreeView's colours (red 160, green 170, blue 180) and the
// media player's DisplayArea to the client rectangle of Video. Afterwards it copies FotoTree and
// NaskaTree into FotoTreeView and NaskaTreeView and the item lists into SchemeListBox,
// VideoListBox and ArticlesListBox, and leaves the Photo section showing.
//
// An error (EInOutError "File not found" for a missing file, EConvertError for a year that is no
// number) ends the construction where it arises and leaves this function; `model` keeps what was
// built until then (the readers run before anything is built from them, so the trees and lists stay
// empty). The window then still copies the model into its controls and lets the error go on to the
// error box:
//
//     try {
//         Catalogue::BuildCatalogue(m_catalogue, { .BeforeTrees = [this] { SetTreeColourAndDisplayArea(); } });
//     } catch (...) {
//         CopyCatalogueToControls();
//         throw;
//     }
//     CopyCatalogueToControls();
//
// Time grows as n log n in the number of photographs, plus the size of what is built. (Only a
// catalogue whose countries differ merely in case and interleave makes the year branch itself grow
// faster, since every repeated country node repeats its places.)
namespace Catalogue {

struct BuildHooks {
    // Opens a catalogue file by its disc path; empty means TextFile on the disc.
    std::function<TextFile(std::string_view disc_path)> OpenFile;
    // Runs once the catalogue is read, before the photo tree is built.
    std::function<void()> BeforeTrees;
};

void BuildCatalogue(CatalogueModel& model, const BuildHooks& hooks = {});

} // namespace Catalogue

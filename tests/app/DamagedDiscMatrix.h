#pragma once

// The damaged-disc matrix: every kind of file the window reads, each kind of damage, driven to the
// place where the window reads it. The cases are listed in DamagedDiscCases.cpp; the fixture that
// runs them is in DamagedDiscMatrix.cpp.

#include "DiscDamage.h"

#include <ostream>
#include <string>
#include <vector>

namespace matrix {

// Every kind of file the window reads, with the action that reads it.
enum class FileKind {
    PhotoCatalogue,      // db\Photo.txt, at start-up
    SchemeCatalogue,     // db\Graphics.txt, at start-up
    NaskaCatalogue,      // db\Naska.txt, at start-up
    Photograph,          // the first photograph of a place: a click in the photo tree
    Drawing,             // a still scheme drawing: a click in the scheme list
    AnimatedDrawing,     // an animated scheme drawing: a click in the scheme list
    NaskaPicture,        // the first picture of a Nazca figure: a click in the Nazca tree
    ArticlePreview,      // an article's preview: a click in the article list
    NaskaArticlePreview, // a Nazca article's picture: a click in the Nazca tree
    Clip,                // a clip: a double click in the video list
};

// What the window shows after the action.
enum class Outcome {
    Shown,       // no box; the viewer holds the new picture (photographs: as a bitmap)
    EmptySilent, // photographs: no box, the viewer empty
    LoadFails,   // one box; the viewer keeps the picture it showed
    DrawFails,   // the picture loads, its first drawing fails: one box, the new picture is held
    Built,       // catalogues: no box, the construction complete
    Stopped,     // catalogues: one box, the construction ended at the readers, the window open
    PlaysOrBox,  // clips: the clip plays without a box, or one box names the problem
};

struct Case {
    FileKind kind;
    damage::Damage damage;
    Outcome outcome;
    std::string message; // part of the box's text (UTF-8), for the outcomes with a box
};

const char* KindName(FileKind kind);
// How a failing case names itself: "Photograph_CutInsideSOF".
void PrintTo(const Case& c, std::ostream* out);
// The disc path of the damaged file of each kind.
const char* TargetOf(FileKind kind);

// The cases of each group of kinds.
std::vector<Case> CatalogueCases();
std::vector<Case> PictureCases(); // photographs, Nazca pictures, article previews
std::vector<Case> DrawingCases();
std::vector<Case> ClipCases();

} // namespace matrix

#pragma once

#include <string>

// The records the catalogue files are read into. All text is Windows-1251.
namespace Catalogue {

// One photograph of "db\Photo.txt".
struct TPhoto {
    std::string FileName; // appended directly to Folder
    std::string Folder;   // relative folder ending in a backslash; characters 7-10 are the year
    std::string Country;
    std::string Place;
    int Year { 0 };
    std::string DateText; // shown last in the information line

    bool operator==(const TPhoto&) const = default;
};

// One scheme of "db\Graphics.txt": the drawings Folder + "00.gif" ... up to LastPicture. (Not the
// framework's picture class of the same name: this one lives in namespace Catalogue.)
struct TGraphic {
    int Year { 0 };         // read at load, not used afterwards
    int LastPicture { 0 };
    std::string Folder;     // ends in a backslash
    std::string InfoText;   // the linked photograph's country, place and text; empty when none
    std::string Place;      // the linked photograph's place: the caption in the scheme list

    bool operator==(const TGraphic&) const = default;
};

// One of the built-in clips under "Video\".
struct TVideo {
    std::string FileName;
    std::string Country;
    std::string Title;
    std::string DateText;

    bool operator==(const TVideo&) const = default;
};

// One Nazca figure of "db\Naska.txt": pictures "Naska\Photo\" + Folder + "\00.jpg" ... LastPicture.
struct TNaskaData {
    int NodeIndex { 0 };    // absolute index of the figure's node in the Nazca tree
    int LastPicture { 0 };
    std::string Folder;     // folder name inside "Naska\Photo\", without backslashes
    std::string Caption;    // node caption in the Nazca tree
    std::string LabelText;  // information line (built in for the first 20 figures)

    bool operator==(const TNaskaData&) const = default;
};

} // namespace Catalogue

#pragma once

#include "ReferenceCatalogue.h"
#include "catalogue/CatalogueBuilder.h"
#include "framework/Exception.h"
#include "platform/Cp1251.h"

#include <optional>
#include <ostream>
#include <string>

// Catalogue files given in UTF-8 for readability; lines joined with CR LF. A file left unset is
// missing from the disc.
struct TestDisc {
    std::optional<std::string> photos = std::string();
    std::optional<std::string> schemes = std::string();
    std::optional<std::string> naska = std::string();
};

inline std::string W(const std::string& utf8)
{
    return Utf8ToCp1251(utf8);
}

inline std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += W(line) + "\r\n";
    return text;
}

inline Catalogue::BuildHooks HooksFor(const TestDisc& disc)
{
    Catalogue::BuildHooks hooks;
    hooks.OpenFile = [disc](std::string_view path) {
        const std::optional<std::string>& text = path == "db\\Photo.txt" ? disc.photos
            : path == "db\\Graphics.txt"                                  ? disc.schemes
                                                                          : disc.naska;
        if (!text)
            throw EInOutError("File not found");
        return TextFile::FromBytes(*text);
    };
    return hooks;
}

// Builds the catalogue and returns the message of the error that ended it, or "" when none did.
inline std::string Build(Catalogue::CatalogueModel& model, const TestDisc& disc)
{
    try {
        Catalogue::BuildCatalogue(model, HooksFor(disc));
    } catch (const Exception& error) {
        return error.Message();
    }
    return {};
}

namespace Catalogue {
inline void PrintTo(const TPhoto& photo, std::ostream* out)
{
    *out << "{" << Cp1251ToUtf8(photo.FileName) << " | " << Cp1251ToUtf8(photo.Folder) << " | " << Cp1251ToUtf8(photo.Country)
         << " | " << Cp1251ToUtf8(photo.Place) << " | " << photo.Year << " | " << Cp1251ToUtf8(photo.DateText) << "}";
}
inline void PrintTo(const TGraphic& scheme, std::ostream* out)
{
    *out << "{" << scheme.Year << " | " << scheme.LastPicture << " | " << Cp1251ToUtf8(scheme.Folder) << " | "
         << Cp1251ToUtf8(scheme.InfoText) << " | " << Cp1251ToUtf8(scheme.Place) << "}";
}
}

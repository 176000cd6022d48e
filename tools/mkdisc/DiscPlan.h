#pragma once

#include "NazcaFigure.h"

#include <cstdint>
#include <string>
#include <vector>

// What goes on a disc, before any picture is drawn: the formations with their places and
// photographs, the schemes, the Nazca figures. Texts here are UTF-8; the catalogue files are
// written in Windows-1251 with CR LF.
class DiscPlan {
public:
    enum class Size { Default, Small };

    struct Formation {
        int year { 0 };
        std::string country;
        std::string place;
        std::string date_text;
        std::string folder;    // "Photo\YYYY\NN\"
        int photo_count { 0 };
        std::uint64_t seed { 0 };
    };

    struct Photo {
        int formation { 0 };
        int shot { 0 };
        std::string file_name; // seven characters, "001.jpg", so schemes can link to it
    };

    struct Scheme {
        int formation { -1 };  // -1: a scheme no photograph belongs to
        std::string folder;    // "Graphics\YYYY\NN\"
        int pictures { 1 };
        bool animated { false };
        std::uint64_t seed { 0 };
    };

    struct NaskaFigure {
        std::string folder;    // the folder under "Naska\Photo\"
        std::string caption;
        NazcaShape shape;
        int pictures { 1 };
    };

    static DiscPlan Make(Size size);

    Size DiscSize() const { return m_size; }
    const std::vector<Formation>& Formations() const { return m_formations; }
    const std::vector<Photo>& Photos() const { return m_photos; }
    const std::vector<Scheme>& Schemes() const { return m_schemes; }
    const std::vector<NaskaFigure>& NaskaFigures() const { return m_figures; }

    // The size of the photo tree's year branch the program builds from this catalogue: its
    // root, the years 1990..2005, a node per country with photographs in a year and a node per
    // distinct place of that country and year.
    struct YearBranch {
        int nodes { 0 };
        int places { 0 };
    };
    YearBranch YearBranchSize() const;

    // The three catalogue files, in Windows-1251 with CR LF.
    std::string PhotoCatalogue() const;
    std::string SchemeCatalogue() const;
    std::string NaskaCatalogue() const;

private:
    void AddPlaces(int year, const std::string& country, int places, int& folder_number);
    void AddFormation(int year, const std::string& country, const std::string& place, int& folder_number);
    void ChooseSchemes(int count, int animated);
    void AddFigures();

    Size m_size { Size::Default };
    std::vector<Formation> m_formations;
    std::vector<Photo> m_photos;
    std::vector<Scheme> m_schemes;
    std::vector<NaskaFigure> m_figures;
};

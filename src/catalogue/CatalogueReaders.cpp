#include "catalogue/CatalogueReaders.h"

#include "framework/Exception.h"
#include "framework/TStringList.h"

#include <array>
#include <limits>
#include <unordered_map>

namespace Catalogue {

std::string_view Field(std::string_view line, int number)
{
    std::size_t start = 0;
    for (int i = 1; i < number; ++i) {
        std::size_t at = line.find('@', start);
        if (at == std::string_view::npos)
            return {};
        start = at + 1;
    }
    std::size_t end = line.find('@', start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string_view Copy(std::string_view text, std::size_t first, std::size_t count)
{
    if (first < 1 || first > text.size())
        return {};
    return text.substr(first - 1, count);
}

int StrToInt(std::string_view text)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    long long value = 0;
    bool valid = pos < text.size();
    for (; valid && pos < text.size(); ++pos) {
        char c = text[pos];
        if (c < '0' || c > '9') {
            valid = false;
            break;
        }
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            valid = false;
    }
    if (valid && !negative && value > std::numeric_limits<int>::max())
        valid = false;
    if (!valid) // the text may hold any byte, NUL included: no printf formatting here
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return int(negative ? -value : value);
}

namespace {

// Fields 1 ... N of a line in one pass (Field() would scan from the start for each).
template<std::size_t N>
std::array<std::string_view, N> Fields(std::string_view line)
{
    std::array<std::string_view, N> fields {};
    std::size_t start = 0;
    for (std::size_t i = 0; i < N; ++i) {
        std::size_t at = line.find('@', start);
        fields[i] = line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
        if (at == std::string_view::npos)
            break;
        start = at + 1;
    }
    return fields;
}

} // namespace

void LoadPhotos(TextFile& file, std::vector<TPhoto>& photos)
{
    TStringList keys;
    std::string line;
    while (file.ReadLine(line)) {
        auto field = Fields<7>(line);
        std::string key;
        key.reserve(line.size() + 8);
        key.append(field[4]).append("@");
        key.append(field[1]).append("@");
        key.append(field[2]).append("@");
        key.append(field[5]).append("@");
        key.append(field[6]).append("@");
        key.append(Copy(field[2], 7, 4));
        keys.Add(std::move(key));
    }
    keys.Sort();

    photos.assign(std::size_t(keys.Count()), TPhoto {});
    for (int i = 0; i < keys.Count(); ++i) {
        auto field = Fields<6>(keys[i]);
        TPhoto& photo = photos[std::size_t(i)];
        photo.Country = field[0];
        photo.FileName = field[1];
        photo.Folder = field[2];
        photo.Place = field[3];
        photo.DateText = field[4];
        photo.Year = StrToInt(field[5]);
    }
}

void LoadSchemes(TextFile& file, const std::vector<TPhoto>& photos, std::vector<TGraphic>& schemes)
{
    std::string previous_folder;
    std::string line;
    while (file.ReadLine(line)) {
        std::string_view folder = Field(line, 2);
        if (folder != previous_folder) {
            TGraphic& scheme = schemes.emplace_back();
            scheme.Folder = folder;
            scheme.LastPicture = 0;
            scheme.Year = StrToInt(Copy(folder, 10, 4));
            previous_folder = folder;
        } else if (!schemes.empty()) {
            ++schemes.back().LastPicture;
        }
        // An empty folder on the first lines belongs to no scheme and is passed over.
    }

    // The first photograph of each folder (from its 7th character on), found in one pass instead of
    // a scan of all photographs per scheme.
    std::unordered_map<std::string_view, const TPhoto*> first_of_folder;
    first_of_folder.reserve(photos.size());
    for (const TPhoto& photo : photos)
        first_of_folder.try_emplace(Copy(photo.Folder, 7), &photo);
    for (TGraphic& scheme : schemes) {
        auto it = first_of_folder.find(Copy(scheme.Folder, 10));
        if (it == first_of_folder.end())
            continue;
        const TPhoto& photo = *it->second;
        scheme.InfoText = photo.Country + " " + photo.Place + " " + photo.DateText;
        scheme.Place = photo.Place;
    }
}

void LoadNaska(TextFile& file, std::vector<TNaskaData>& figures)
{
    std::string previous_folder;
    std::string line;
    while (file.ReadLine(line)) {
        std::string_view folder = Field(line, 2);
        if (folder != previous_folder) {
            TNaskaData& figure = figures.emplace_back();
            figure.Folder = folder;
            figure.Caption = Field(line, 3);
            figure.LastPicture = 0;
            previous_folder = folder;
        } else if (!figures.empty()) {
            ++figures.back().LastPicture;
        }
    }
}

} // namespace Catalogue

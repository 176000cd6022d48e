// Feeds arbitrary bytes to the three catalogue readers and the whole start-up construction.
// The input holds the three files one after another, separated by "|||" (a missing separator
// leaves the later files empty). Small inputs are also built by the plain transcription of the
// construction, and both results must agree.
#include "../tests/catalogue/ReferenceCatalogue.cpp"

#include "catalogue/CatalogueBuilder.h"
#include "framework/Exception.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string TakePart(std::string_view& rest)
{
    std::size_t at = rest.find("|||");
    std::string part(rest.substr(0, at));
    rest = at == std::string_view::npos ? std::string_view() : rest.substr(at + 3);
    return part;
}

std::string ErrorOf(const std::function<void()>& build)
{
    try {
        build();
    } catch (const Exception& error) {
        return error.Message();
    }
    return "(none)";
}

void CheckInvariants(const Catalogue::CatalogueModel& model)
{
    int previous = -1;
    for (const Catalogue::PlaceList& slot : model.PlaceLists) {
        if (slot.NodeIndex <= previous || slot.NodeIndex >= model.FotoTree.Count() || model.FotoTree.Node(slot.NodeIndex).Level != 3)
            std::abort();
        previous = slot.NodeIndex;
    }
    for (const Catalogue::TNaskaData& figure : model.NaskaItems) {
        if (model.NaskaTree.Count() > 0 && model.NaskaTree.Node(figure.NodeIndex).Caption != figure.Caption)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    CatalogueTexts texts;
    texts.photos = TakePart(rest);
    texts.schemes = TakePart(rest);
    texts.naska = TakePart(rest);

    Catalogue::CatalogueModel fast;
    Catalogue::BuildHooks hooks;
    hooks.OpenFile = [&](std::string_view path) {
        return TextFile::FromBytes(path == "db\\Photo.txt" ? texts.photos : path == "db\\Graphics.txt" ? texts.schemes : texts.naska);
    };
    std::string fast_error = ErrorOf([&] { Catalogue::BuildCatalogue(fast, hooks); });
    CheckInvariants(fast);

    if (size <= 4096) {
        Catalogue::CatalogueModel plain;
        std::string plain_error = ErrorOf([&] { BuildReferenceCatalogue(plain, texts); });
        if (plain_error != fast_error || !(plain == fast))
            std::abort();
    }
    return 0;
}

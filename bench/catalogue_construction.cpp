// Start-up construction of the catalogue at the disc's own scale (about 1,600 photographs; a year
// branch of 591 nodes with 538 places) and at 10 and 100 times as many photographs and places.
#include "../tests/catalogue/ReferenceCatalogue.cpp"

#include "catalogue/CatalogueBuilder.h"
#include "platform/Cp1251.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace {

// A catalogue shaped like the disc's: 36 country-year pairs of 1990-2005 holding 538 places with
// about three photographs each, 150 schemes of eight drawings on photographed folders, 20 Nazca
// figures. `scale` multiplies the places (and so the photographs) and the schemes.
CatalogueTexts MakeCatalogue(int scale)
{
    std::mt19937 random(1234);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const char* countries[] = { "Великобритания", "Великобритания", "Великобритания", "Германия", "Нидерланды", "США",
        "Канада", "Чехия", "Швейцария", "Польша", "Австрия", "Италия" };
    const char* words[] = { "Wiltshire", "Avebury", "Alton Barnes", "East Kennett", "Marlborough", "Silbury Hill",
        "Hampshire", "Milk Hill", "Уилтшир", "Поле", "Холм", "Долина" };

    struct Pair {
        std::string country;
        int year;
    };
    std::vector<Pair> pairs;
    for (int i = 0; i < 36; ++i)
        pairs.push_back({ Utf8ToCp1251(countries[i % 12]), 1990 + (i * 7) % 16 });

    CatalogueTexts texts;
    std::vector<std::string> photo_folders;
    int places = 538 * scale;
    int line = 0;
    for (int p = 0; p < places; ++p) {
        const Pair& pair = pairs[std::size_t(p % 36)];
        std::string place = Utf8ToCp1251(words[pick(0, 11)]) + ", " + Utf8ToCp1251(words[pick(0, 11)]) + " " + std::to_string(p);
        std::string folder = "Photo\\" + std::to_string(pair.year) + "\\" + std::to_string(p) + "\\";
        photo_folders.push_back(folder);
        int photos = p % 20 == 0 ? 2 : 3;
        for (int k = 0; k < photos; ++k) {
            char name[16];
            std::snprintf(name, sizeof name, "%03d.jpg", k);
            texts.photos += std::to_string(++line) + "@" + name + "@" + folder + "@x@" + pair.country + "@" + place + "@"
                + std::to_string(pick(1, 28)) + "." + std::to_string(pick(5, 9)) + "." + std::to_string(pair.year) + "\r\n";
        }
    }
    for (int s = 0; s < 150 * scale; ++s) {
        std::string folder = "Graphics\\" + photo_folders[std::size_t(pick(0, places - 1))].substr(6);
        for (int k = 0; k < 8; ++k)
            texts.schemes += std::to_string(s) + "@" + folder + "@x\r\n";
    }
    for (int f = 0; f < 20; ++f) {
        for (int k = 0; k < 10; ++k)
            texts.naska += std::to_string(f) + "@figure" + std::to_string(f) + "@" + Utf8ToCp1251("Фигура ") + std::to_string(f) + "@x\r\n";
    }
    return texts;
}

Catalogue::BuildHooks FromMemory(const CatalogueTexts& texts)
{
    Catalogue::BuildHooks hooks;
    hooks.OpenFile = [&texts](std::string_view path) {
        return TextFile::FromBytes(path == "db\\Photo.txt" ? texts.photos : path == "db\\Graphics.txt" ? texts.schemes : texts.naska);
    };
    return hooks;
}

// One construction into an empty model, as at start-up; freeing the previous result is not timed.
template<typename Construct>
void Build(benchmark::State& state, Catalogue::CatalogueModel& model, const Construct& construct)
{
    Catalogue::CatalogueModel fresh;
    construct(fresh);
    benchmark::DoNotOptimize(fresh.FotoTree.Count());
    state.PauseTiming();
    model = std::move(fresh);
    state.ResumeTiming();
}

void Construction(benchmark::State& state)
{
    CatalogueTexts texts = MakeCatalogue(int(state.range(0)));
    Catalogue::CatalogueModel model;
    for (auto _ : state) {
        Build(state, model, [&](Catalogue::CatalogueModel& fresh) { Catalogue::BuildCatalogue(fresh, FromMemory(texts)); });
    }
    state.counters["photos"] = double(model.PhotoCount());
    state.counters["places"] = double(model.PlaceCount());
    state.counters["year_branch"] = double(model.CountryBranchIndex);
}
BENCHMARK(Construction)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The same, reading the three files from a folder through the disc-path layer.
void ConstructionFromDisc(benchmark::State& state)
{
    CatalogueTexts texts = MakeCatalogue(int(state.range(0)));
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::path root = std::filesystem::temp_directory_path() / ("velmar-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "db");
    std::ofstream(root / "db" / "Photo.txt", std::ios::binary) << texts.photos;
    std::ofstream(root / "db" / "Graphics.txt", std::ios::binary) << texts.schemes;
    std::ofstream(root / "db" / "Naska.txt", std::ios::binary) << texts.naska;
    std::filesystem::current_path(root);
    Catalogue::CatalogueModel model;
    for (auto _ : state) {
        Build(state, model, [](Catalogue::CatalogueModel& fresh) { Catalogue::BuildCatalogue(fresh); });
    }
    std::filesystem::current_path(saved);
    std::filesystem::remove_all(root);
}
BENCHMARK(ConstructionFromDisc)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The catalogue of a sample disc made by velmar-mkdisc, when VELMAR_DISC names its folder.
void ConstructionOfSampleDisc(benchmark::State& state)
{
    const char* disc = std::getenv("VELMAR_DISC");
    if (!disc || !*disc) {
        state.SkipWithError("set VELMAR_DISC to the folder of a disc made by velmar-mkdisc");
        return;
    }
    std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(disc);
    Catalogue::CatalogueModel model;
    for (auto _ : state) {
        Build(state, model, [](Catalogue::CatalogueModel& fresh) { Catalogue::BuildCatalogue(fresh); });
    }
    std::filesystem::current_path(saved);
    state.counters["photos"] = double(model.PhotoCount());
    state.counters["places"] = double(model.PlaceCount());
    state.counters["year_branch"] = double(model.CountryBranchIndex);
}
BENCHMARK(ConstructionOfSampleDisc)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The plain algorithm (exchange sorts, nested scans) at the disc's scale, for comparison.
void PlainConstruction(benchmark::State& state)
{
    CatalogueTexts texts = MakeCatalogue(int(state.range(0)));
    Catalogue::CatalogueModel model;
    for (auto _ : state) {
        Build(state, model, [&](Catalogue::CatalogueModel& fresh) { BuildReferenceCatalogue(fresh, texts); });
    }
}
BENCHMARK(PlainConstruction)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();

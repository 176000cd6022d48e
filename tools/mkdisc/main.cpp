// velmar-mkdisc OUT [--small]: writes a complete sample disc into the folder OUT.

#include "DiscError.h"
#include "DiscPlan.h"
#include "DiscWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

extern "C" {
#include <libavutil/log.h>
}

namespace {

std::uintmax_t FolderSize(const std::filesystem::path& root, std::size_t& files)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            bytes += entry.file_size();
            ++files;
        }
    }
    return bytes;
}

int Usage()
{
    std::fprintf(stderr, "usage: velmar-mkdisc OUT [--small]\n"
                         "  writes a sample disc (catalogue, photographs, schemes, Nazca pictures,\n"
                         "  articles, clips) into the folder OUT; --small makes a quick one for tests\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string out;
    bool small = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--small") == 0)
            small = true;
        else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return Usage(), 0;
        else if (argv[i][0] == '-' || !out.empty())
            return Usage();
        else
            out = argv[i];
    }
    if (out.empty())
        return Usage();

    // The encoders' notes on buffer models are of no use to someone making a sample disc.
    av_log_set_level(AV_LOG_ERROR);
    auto started = std::chrono::steady_clock::now();
    try {
        DiscPlan plan = DiscPlan::Make(small ? DiscPlan::Size::Small : DiscPlan::Size::Default);
        DiscPlan::YearBranch branch = plan.YearBranchSize();
        int scheme_pictures = 0, animated = 0, naska_pictures = 0;
        for (const auto& s : plan.Schemes()) {
            scheme_pictures += s.pictures;
            animated += s.animated ? 1 : 0;
        }
        for (const auto& f : plan.NaskaFigures())
            naska_pictures += f.pictures;
        std::printf("velmar-mkdisc: writing a %s disc into %s\n", small ? "small" : "full", out.c_str());
        std::printf("  %zu photographs of %zu formations; year branch: %d nodes, %d places\n",
            plan.Photos().size(), plan.Formations().size(), branch.nodes, branch.places);
        std::printf("  %zu schemes (%d drawings, %d animated), %zu Nazca figures (%d pictures), 10 articles, 13 clips\n",
            plan.Schemes().size(), scheme_pictures, animated, plan.NaskaFigures().size(), naska_pictures);
        std::fflush(stdout);

        unsigned cores = std::thread::hardware_concurrency();
        int threads = int(std::clamp(cores, 1u, 8u));
        DiscWriter writer(plan, out);
        writer.Write([](const std::string& line) {
            std::printf("  %s\n", line.c_str());
            std::fflush(stdout);
        }, threads);

        std::size_t files = 0;
        std::uintmax_t bytes = FolderSize(out, files);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("velmar-mkdisc: done, %zu files, %.1f MB, %.1f s\n", files, double(bytes) / 1e6, seconds);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmar-mkdisc: %s\n", error.what());
        return 1;
    }
}

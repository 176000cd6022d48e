#include "ProgramIcon.h"
#include "framework/TApplication.h"
#include "imaging/ImageFormats.h"
#include "platform/Cp1251.h"
#include "shell/DiscLocation.h"
#include "shell/TVelmarForm.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

constexpr const char* usage = "Usage: velmar [DISC]\n"
                              "Shows the disc about crop formations and the Nazca lines.\n"
                              "DISC is the folder where the disc is mounted. Without it the program uses the current\n"
                              "folder when that is the disc's root, else the first mounted disc it finds under /media,\n"
                              "/run/media and /mnt. VELMAR_SCALE (1, 1.25, 1.5, 2 or 3) sets the window's scale.\n"
                              "See velmar(1).\n";

} // namespace

// The entry point: find the disc and make its root the current directory, then the application
// object, the main window and the message loop. Started in the disc's root without arguments, the
// program works on the current directory as it always did.
int main(int argc, char** argv)
{
    std::optional<std::string> argument;
    bool options_end = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (!options_end && word == "--") {
            options_end = true;
            continue;
        }
        if (!options_end && (word == "--help" || word == "-h")) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (!options_end && word == "--version") {
            std::printf("velmar %s\n", VELMAR_VERSION);
            return 0;
        }
        if ((!options_end && word.size() > 1 && word.front() == '-') || argument) {
            std::fprintf(stderr, "velmar: unexpected argument \"%s\"\n%s", word.c_str(), usage);
            return 2;
        }
        argument = word;
    }

    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    DiscLocation disc = LocateDisc(current, argument, MountRootPatterns());
    if (!disc.root.empty() && disc.root != current && ::chdir(disc.root.c_str()) != 0)
        disc.problem = "Cannot open the disc's folder \"" + disc.root.string() + "\": " + std::strerror(errno);
    if (!disc.problem.empty())
        std::fprintf(stderr, "velmar: %s\n", disc.problem.c_str());

    try {
        TApplication application(CreateSdlBackend({ VELMAR_WINDOW_CLASS, VELMAR_APP_ID, ProgramIconPng() }), argv[0]);
        RegisterImageFormats();
        // Without a disc the window still opens, empty, with the problem in its error box.
        if (disc.problem.empty())
            application.CreateForm<TVelmarForm>();
        else
            application.CreateForm<TVelmarForm>(Utf8ToCp1251(disc.problem));
        application.Run();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "velmar: %s\n", failure.what());
        return 1;
    }
    return 0;
}

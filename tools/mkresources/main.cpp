// velmar-mkresources OUTDIR [--previews DIR]: draws every picture of the window's layout and
// writes each as OUTDIR/<component name>.png, and the program's icon at each size of the icon
// theme as OUTDIR/icons/velmar-<size>.png. The output depends only on this program and the
// installed fonts. With --previews, also writes the pictures put together as the window shows them.
#include "IconArt.h"
#include "LayoutArt.h"
#include "PngWriter.h"
#include "Preview.h"

#include "framework/Exception.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv)
{
    bool usage_ok = argc == 2 || (argc == 4 && std::string(argv[2]) == "--previews");
    if (!usage_ok) {
        std::fprintf(stderr, "usage: velmar-mkresources OUTDIR [--previews DIR]\n");
        return 2;
    }
    try {
        std::filesystem::path out = argv[1];
        std::error_code error;
        std::filesystem::create_directories(out, error);
        if (error)
            throw Exception("Cannot create " + out.string() + ": " + error.message());
        std::vector<NamedPicture> pictures = DrawLayoutPictures();
        for (const NamedPicture& picture : pictures)
            WritePng((out / (picture.name + ".png")).string(), picture.drawing);
        std::filesystem::create_directories(out / "icons", error);
        if (error)
            throw Exception("Cannot create " + (out / "icons").string() + ": " + error.message());
        for (int size : ProgramIconSizes) {
            ProgramIcon icon = DrawProgramIcon(size);
            WritePng((out / "icons" / ("velmar-" + std::to_string(size) + ".png")).string(), icon.drawing, icon.alpha);
        }
        if (argc == 4)
            WritePreviews(pictures, argv[3]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "velmar-mkresources: %s\n", failure.what());
        return 1;
    }
    return 0;
}

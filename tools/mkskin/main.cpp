// velmar-mkskin OUTDIR: writes the stored skin, OUTDIR/skin.ini (its INI text) and
// OUTDIR/skin.pictures (its "Pictures" block). The output is the same on every run.
#include "SkinArt.h"
#include "SkinIniText.h"

#include "framework/Exception.h"
#include "framework/TStream.h"
#include "skin/TbsStoredSkin.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::filesystem::path& path, const void* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    return bool(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmar-mkskin OUTDIR\n");
        return 2;
    }
    std::filesystem::path out = argv[1];
    try {
        std::filesystem::create_directories(out);
        TbsStoredSkin skin;
        skin.SetFileName("skin.ini");
        skin.MainPicture() = *DrawMainPicture();
        skin.MaskPicture() = *DrawMaskPicture();
        skin.AddControlPicture(DrawButtonPicture());
        skin.AddControlPicture(DrawCheckPicture());
        skin.AddControlPicture(DrawPanelPicture());
        skin.AddControlPicture(DrawControlPicture());
        skin.AddControlPicture(DrawThumbPicture());
        TMemoryStream block;
        skin.WritePictures(block);
        std::string text;
        for (const std::string& line : MakeSkinIniText())
            text += line + "\r\n";
        if (!WriteFile(out / "skin.pictures", block.Bytes().data(), block.Bytes().size())
            || !WriteFile(out / "skin.ini", text.data(), text.size())) {
            std::fprintf(stderr, "velmar-mkskin: cannot write into %s\n", out.string().c_str());
            return 1;
        }
        std::printf("skin.ini: %zu bytes, skin.pictures: %zu bytes\n", text.size(), block.Bytes().size());
    } catch (const Exception& error) {
        std::fprintf(stderr, "velmar-mkskin: %s\n", error.Message().c_str());
        return 1;
    }
    return 0;
}

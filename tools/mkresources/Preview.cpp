#include "Preview.h"

#include "LayoutGeometry.h"
#include "PngWriter.h"

#include "framework/Exception.h"

#include <filesystem>

namespace {

using namespace Layout;

const Drawing& Find(const std::vector<NamedPicture>& pictures, const std::string& name)
{
    for (const NamedPicture& picture : pictures) {
        if (picture.name == name)
            return picture.drawing;
    }
    throw Exception("No picture named " + name);
}

// Copies `picture` to (left, top) of the content panel, clipped to the control's size and to
// the panel.
void PlaceInBody(Drawing& window, const Drawing& picture, int left, int top, int width, int height)
{
    for (int y = 0; y < std::min(height, picture.Height()); ++y) {
        int by = top + y;
        if (by < 0 || by >= BodyHeight)
            continue;
        for (int x = 0; x < std::min(width, picture.Width()); ++x) {
            int bx = left + x;
            if (bx >= 0 && bx < WindowWidth)
                window.At(bx, HeaderHeight + by) = picture.At(x, y);
        }
    }
}

void PlaceInBody(Drawing& window, const std::vector<NamedPicture>& pictures, const std::string& name, Place place)
{
    PlaceInBody(window, Find(pictures, name), place.left, place.top, place.width, place.height);
}

Drawing Window(const std::vector<NamedPicture>& pictures)
{
    Drawing window(WindowWidth, HeaderHeight + BodyHeight);
    window.Paste(Find(pictures, "header"), 0, 0);
    window.Paste(Find(pictures, "ImageMC"), MarksLeft, MarksTop);
    window.Paste(Find(pictures, "body"), 0, HeaderHeight);
    return window;
}

void ShowTab(Drawing& window, const std::vector<NamedPicture>& pictures, const char* name)
{
    for (const Tab& tab : Tabs) {
        if (std::string(tab.name) == name)
            PlaceInBody(window, pictures, name, tab.picture);
    }
}

void ShowMark(Drawing& window, const std::vector<NamedPicture>& pictures, const char* name)
{
    for (const TransportMark& mark : TransportMarks) {
        if (std::string(mark.name) == name)
            PlaceInBody(window, pictures, name, mark.place);
    }
}

} // namespace

void WritePreviews(const std::vector<NamedPicture>& pictures, const std::string& folder)
{
    std::filesystem::create_directories(folder);
    auto path = [&](const char* file) { return (std::filesystem::path(folder) / file).string(); };

    Drawing start = Window(pictures);
    ShowTab(start, pictures, "ImagePhoto");
    PlaceInBody(start, pictures, "ImageUFO", Banner);
    WritePng(path("start.png"), start);

    Drawing schemes = Window(pictures);
    ShowTab(schemes, pictures, "ImageScheme");
    PlaceInBody(schemes, pictures, "ImageUFO", Banner);
    // The pattern stretched pixel by pixel over the viewer, as the window draws it.
    const Drawing& pattern = Find(pictures, "FonImage");
    for (int y = 0; y < Viewer.height; ++y) {
        for (int x = 0; x < Viewer.width; ++x)
            schemes.At(Viewer.left + x, HeaderHeight + Viewer.top + y)
                = pattern.At(x * pattern.Width() / Viewer.width, y * pattern.Height() / Viewer.height);
    }
    PlaceInBody(schemes, pictures, "ImageNext", NextArrow);
    PlaceInBody(schemes, pictures, "ImagePrev", PrevArrow);
    WritePng(path("schemes.png"), schemes);

    Drawing video = Window(pictures);
    ShowTab(video, pictures, "ImageVideo");
    PlaceInBody(video, pictures, "ImageUFO", Banner);
    PlaceInBody(video, pictures, "Scheme", SchemeButton);
    for (int y = 0; y < Viewer.height; ++y) {
        for (int x = 0; x < Viewer.width; ++x)
            video.At(Viewer.left + x, HeaderHeight + Viewer.top + y) = Rgb { 160, 170, 180 };
    }
    PlaceInBody(video, pictures, "FonVideoImage", TransportStrip);
    for (const char* name : { "ImageBackward", "ImagePlayH", "ImagePause", "ImageStop", "ImageForward" })
        ShowMark(video, pictures, name);
    WritePng(path("video.png"), video);

    Drawing marks = Window(pictures);
    ShowTab(marks, pictures, "ImageBonus");
    PlaceInBody(marks, pictures, "FonVideoImage", TransportStrip);
    for (const char* name : { "ImageBackwardH", "ImagePlay", "ImagePauseH", "ImageStopH", "ImageForwardH" })
        ShowMark(marks, pictures, name);
    WritePng(path("entry.png"), marks);
}

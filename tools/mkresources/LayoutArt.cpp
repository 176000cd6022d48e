#include "LayoutArt.h"

#include "LayoutParts.h"

#include <tuple>

std::vector<NamedPicture> DrawLayoutPictures()
{
    using namespace Layout;
    Typefaces faces;
    std::vector<NamedPicture> pictures;

    Drawing header = DrawHeader();
    pictures.push_back({ "ImageMC", header.Crop(MarksLeft, MarksTop, MarksWidth, MarksHeight) });
    pictures.push_back({ "header", std::move(header) });

    // The arrows' pictures and the selected tabs are cut from the same ground as `body`, so that
    // they line up with it pixel for pixel wherever they are shown above it.
    Drawing ground = DrawBodyGround(faces);
    for (auto [name, place, way] : { std::tuple { "ImagePrev", PrevArrow, ArrowWay::Left },
             std::tuple { "ImageNext", NextArrow, ArrowWay::Right } }) {
        Drawing arrow = ground.Crop(place.left, place.top, place.width, place.height);
        DrawArrow(arrow, { 0, 0, place.width, place.height }, way, ArrowLook::Active);
        pictures.push_back({ name, std::move(arrow) });
    }
    for (const Tab& selected : Tabs) {
        Drawing strip = ground;
        for (const Tab& tab : Tabs)
            DrawTab(strip, tab, &tab == &selected ? TabLook::Selected : TabLook::Plain, faces);
        const Place& p = selected.picture;
        // Rows above the panel's top are never seen; they repeat the top row.
        pictures.push_back({ selected.name, strip.Crop(p.left, p.top, p.width, p.height) });
    }

    Drawing body = ground;
    for (const Tab& tab : Tabs)
        DrawTab(body, tab, TabLook::Plain, faces);
    DrawArrow(body, PrevArrow, ArrowWay::Left, ArrowLook::Greyed);
    DrawArrow(body, NextArrow, ArrowWay::Right, ArrowLook::Greyed);

    pictures.push_back({ "Scheme", DrawSchemeButton(body, faces) });
    pictures.push_back({ "ImageUFO", DrawBanner(body, faces) });
    pictures.push_back({ "FonImage", DrawPattern() });

    Drawing strip = DrawTransportStrip(body);
    for (const TransportMark& mark : TransportMarks) {
        Drawing picture = strip.Crop(mark.place.left - TransportStrip.left, mark.place.top - TransportStrip.top,
            mark.place.width, mark.place.height);
        DrawTransportGlyph(picture, mark.kind, mark.active);
        pictures.push_back({ mark.name, std::move(picture) });
    }
    pictures.push_back({ "FonVideoImage", std::move(strip) });
    pictures.push_back({ "body", std::move(body) });
    return pictures;
}

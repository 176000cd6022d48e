#pragma once

#include "Drawing.h"

#include <algorithm>
#include <iterator>

// Where the window's controls lie, in pixels of the picture they are drawn into: `header` for the
// title strip, `body` (the content panel, whose origin is the panel's) for everything else.
namespace Layout {

constexpr int WindowWidth = 1024;
constexpr int HeaderHeight = 67;
constexpr int BodyHeight = 671;

// The minimise and close marks: the panel that holds them and its two click areas.
constexpr int MarksLeft = 981;
constexpr int MarksTop = 13;
constexpr int MarksWidth = 35;
constexpr int MarksHeight = 21;

struct Place {
    int left;
    int top;
    int width;
    int height;
};

// One tab: its click area, its selected picture, and the part of the strip its caption owns
// (inside both, and clear of the neighbours' pictures so that any two may show at once).
struct Tab {
    const char* name;    // the selected picture's component name
    const char* caption; // UTF-8
    Place click;
    Place picture;
    float caption_left;
    float caption_right;
};

constexpr Tab Tabs[] = {
    { "ImagePhoto", "Фото", { 430, 0, 92, 40 }, { 427, -2, 98, 40 }, 431, 519 },
    { "ImageScheme", "Схемы", { 526, 0, 115, 40 }, { 520, -3, 123, 44 }, 527, 638 },
    { "ImageVideo", "Видео", { 642, 0, 105, 40 }, { 639, 0, 102, 39 }, 644, 740 },
    { "ImageArticles", "Статьи", { 745, 0, 115, 40 }, { 742, -2, 115, 40 }, 746, 853 },
    { "ImageBonus", "Бонус", { 857, 0, 104, 40 }, { 854, -4, 103, 43 }, 858, 956 },
};

// Lower edges of an unselected and a selected tab.
constexpr float TabBottom = 33;
constexpr float SelectedTabBottom = 36;

// The places of the lists and trees, one section's at a time (the photo tree with its two bars as
// one place: FotoTreeView 24, 57, 155, 430, VerSkinScrollBar 180, 56, 17, 433 and HorScrollBar
// 23, 489, 174, 17).
constexpr Place ListPlaces[] = {
    { 23, 56, 174, 450 }, // FotoTreeView and its bars
    { 23, 56, 174, 449 }, // SchemeListBox
    { 23, 56, 174, 450 }, // VideoListBox
    { 25, 56, 171, 450 }, // ArticlesListBox
    { 24, 57, 173, 449 }, // NaskaTreeView
};

// The part of the background every one of the places covers.
constexpr Place CoveredByAll(const Place* places, int count)
{
    int left = places[0].left, top = places[0].top;
    int right = left + places[0].width, bottom = top + places[0].height;
    for (int i = 1; i < count; ++i) {
        left = std::max(left, places[i].left);
        top = std::max(top, places[i].top);
        right = std::min(right, places[i].left + places[i].width);
        bottom = std::min(bottom, places[i].top + places[i].height);
    }
    return { left, top, right - left, bottom - top };
}

// The grey well the trees stand in: only where every list and tree covers it, so that it never
// shows around a smaller one (25, 57, 171, 448). Its sunken lip lies just outside, under the edges
// of the larger ones.
constexpr Place ListWell = CoveredByAll(ListPlaces, int(std::size(ListPlaces)));
constexpr Place Viewer { 226, 60, 768, 514 };
constexpr Place SchemeButton { 221, 609, 123, 40 };
constexpr int SchemePictureWidth = 142;
constexpr int SchemePictureHeight = 43;
constexpr Place InfoLabel { 384, 619, 0, 20 };
constexpr Place InfoBar { 365, 609, 629, 40 };    // the light field the information line is written on
constexpr Place Brand { 28, 610, 167, 40 };
constexpr Place Banner { 20, 523, 180, 80 };

constexpr Place PrevArrow { 954, 578, 19, 19 };
constexpr Place NextArrow { 974, 578, 19, 19 };
constexpr Place PrevPlaceholder { 952, 576, 23, 23 };
constexpr Place NextPlaceholder { 974, 576, 23, 23 };

constexpr Place TransportStrip { 867, 575, 130, 24 };
constexpr int TransportStripPictureHeight = 25;

enum class Transport { Backward, Play, Pause, Stop, Forward };

struct TransportMark {
    const char* name;
    Transport kind;
    bool active;
    Place place;
};

constexpr TransportMark TransportMarks[] = {
    { "ImageBackwardH", Transport::Backward, false, { 898, 578, 19, 19 } },
    { "ImagePlayH", Transport::Play, false, { 917, 578, 19, 19 } },
    { "ImagePauseH", Transport::Pause, false, { 936, 578, 19, 19 } },
    { "ImageStopH", Transport::Stop, false, { 954, 578, 19, 19 } },
    { "ImageForwardH", Transport::Forward, false, { 973, 578, 19, 19 } },
    { "ImageStop", Transport::Stop, true, { 954, 578, 19, 19 } },
    { "ImagePlay", Transport::Play, true, { 917, 578, 19, 19 } },
    { "ImageForward", Transport::Forward, true, { 973, 578, 19, 19 } },
    { "ImagePause", Transport::Pause, true, { 935, 578, 19, 19 } },
    { "ImageBackward", Transport::Backward, true, { 898, 578, 19, 19 } },
};

constexpr int PatternWidth = 160;
constexpr int PatternHeight = 150;

constexpr Box ToBox(Place p)
{
    return { static_cast<float>(p.left), static_cast<float>(p.top), static_cast<float>(p.left + p.width),
        static_cast<float>(p.top + p.height) };
}

} // namespace Layout

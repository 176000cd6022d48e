#pragma once

#include "Drawing.h"
#include "Lettering.h"
#include "Palette.h"

#include <memory>

// Shared pieces of the layout pictures: the typefaces and the few ways of painting boxes.

struct Typefaces {
    Lettering title { "Liberation Serif:bold", 30 };
    Lettering subtitle { "Liberation Serif:italic", 19 };
    Lettering brand { "Liberation Serif:bold", 29 };
    Lettering tab { "Liberation Sans:bold", 15 };
    Lettering button { "Liberation Sans:bold", 16 };
    Lettering banner_large { "Liberation Sans:bold", 26 };
    Lettering banner_small { "Liberation Sans:bold", 12 };
};

// A paint running from `top` at y0 to `bottom` at y1 (clamped beyond).
inline auto VerticalGradient(Rgb top, Rgb bottom, float y0, float y1)
{
    return [=](int, int y) {
        float t = std::clamp((y + 0.5f - y0) / (y1 - y0), 0.0f, 1.0f);
        return Mix(top, bottom, t);
    };
}

inline void FillRoundBox(Drawing& d, Box box, float radius, Rgb colour, float opacity = 1)
{
    d.FillSolid(box, [&](float x, float y) { return Sdf::RoundBox(x, y, box, radius); }, colour, opacity);
}

inline void FillRoundBoxGradient(Drawing& d, Box box, float radius, Rgb top, Rgb bottom)
{
    d.Fill(box, [&](float x, float y) { return Sdf::RoundBox(x, y, box, radius); },
        VerticalGradient(top, bottom, box.y0, box.y1));
}

// A line of `width` pixels running just inside the edge of the box.
inline void OutlineRoundBox(Drawing& d, Box box, float radius, float width, Rgb colour, float opacity = 1)
{
    d.FillSolid(box,
        [&](float x, float y) {
            float e = Sdf::RoundBox(x, y, box, radius);
            return std::fabs(e + width / 2) - width / 2;
        },
        colour, opacity);
}

// A soft shadow of the box, offset by (dx, dy) and `softness` pixels wide at its edge.
inline void DropShadow(Drawing& d, Box box, float radius, float dx, float dy, float softness, float opacity)
{
    Box moved { box.x0 + dx, box.y0 + dy, box.x1 + dx, box.y1 + dy };
    Box area = moved.Inset(-softness - 1);
    d.FillSolid(area, [&](float x, float y) { return Sdf::RoundBox(x, y, moved, radius) / softness; },
        Palette::Ink, opacity);
}

// Text with a one-pixel light edge below it, which lifts dark lettering off the parchment.
inline void EmbossedText(Drawing& d, const Lettering& font, std::string_view text, int x, int baseline, Rgb colour,
    Rgb light = Palette::Cream)
{
    font.Draw(d, text, x, baseline + 1, light, 0.9f);
    font.Draw(d, text, x, baseline, colour);
}

// Blends a colour over whole rows y0 .. y1 - 1.
inline void FillBand(Drawing& d, int y0, int y1, Rgb colour, float opacity = 1)
{
    for (int y = std::max(0, y0); y < std::min(y1, d.Height()); ++y)
        for (int x = 0; x < d.Width(); ++x)
            d.Blend(x, y, colour, opacity);
}

// The round emblem of the title and the brand: a crop formation in a wheat disc.
void DrawEmblem(Drawing& d, float cx, float cy, float r);

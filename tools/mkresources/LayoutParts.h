#pragma once

#include "ArtKit.h"
#include "LayoutGeometry.h"

// The title strip with its thumbnails and the minimise and close marks.
Drawing DrawHeader();

// The content background without its tab captions and greyed arrows.
Drawing DrawBodyGround(const Typefaces& faces);

// A tab caption, in its plain or its selected look, at its place in the body.
enum class TabLook { Plain, Selected };
void DrawTab(Drawing& body, const Layout::Tab& tab, TabLook look, const Typefaces& faces);

// A previous (left) or next (right) arrow at its 19 x 19 place.
enum class ArrowLook { Greyed, Active };
enum class ArrowWay { Left, Right };
void DrawArrow(Drawing& d, Layout::Place place, ArrowWay way, ArrowLook look);

// The strip behind the transport marks; `body` gives what shows around its rounded corners.
Drawing DrawTransportStrip(const Drawing& body);
// A transport mark drawn into a 19 x 19 picture whose ground is already painted.
void DrawTransportGlyph(Drawing& mark, Layout::Transport kind, bool active);

Drawing DrawSchemeButton(const Drawing& body, const Typefaces& faces);
Drawing DrawBanner(const Drawing& body, const Typefaces& faces);
Drawing DrawPattern();

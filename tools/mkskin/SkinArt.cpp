#include "SkinArt.h"

#include "SkinCanvas.h"

using namespace Skin;

namespace {

// The palettes' sizes are part of the block's layout (545365 bytes in all).
std::vector<TColor> EarthRamp(int count)
{
    return RampPalette({ Ink, EarthDark, Earth, Clay, WheatDeep, Wheat, Straw, ParchmentDeep, Parchment, Paper,
                           { 255, 255, 255 } },
        count);
}

// The face of a pressed button: sunken, with a shadow along its top and left edges and light along
// its bottom and right ones, a shade darker than a raised plate.
void SunkenFace(SkinCanvas& c, Rect r)
{
    c.VerticalGradient(r, Mix(WheatDeep, Wheat, 0.45), Mix(Wheat, Straw, 0.35));
    Rgb shadow = Mix(Clay, Earth, 0.35);
    Rgb light = Mix(Straw, Cream, 0.5);
    c.Fill({ r.left, r.top, r.right, r.top + 1 }, shadow);
    c.Fill({ r.left, r.top, r.left + 1, r.bottom }, shadow);
    c.Fill({ r.left + 1, r.bottom - 1, r.right, r.bottom }, light);
    c.Fill({ r.right - 1, r.top + 1, r.right, r.bottom }, light);
}

// The pressed images are 12 x 12 (the skin's values), copied stretched onto the buttons: each is
// drawn so that, at the size it is shown, the button keeps its outline and its arrow keeps the
// raised arrow's size and place, only sunken.

// The vertical bar's top button, shown at 18 x 15 over the whole raised plate: framed, with an
// arrow of three lines that the stretch widens to the raised arrow's 1, 5 and 7 pixels.
void PressedTopButton(SkinCanvas& c, int x, int y)
{
    c.Fill({ x, y, x + 12, y + 12 }, Clay);
    SunkenFace(c, { x + 1, y + 1, x + 11, y + 11 });
    c.Arrow(x + 6, y + 5, 1, 3, EarthDark);
}

// Its bottom button, shown at 18 x 17 over two rows of the track and the raised plate below them:
// the first row is the track's, the rest the framed face.
void PressedBottomButton(SkinCanvas& c, int x, int y)
{
    c.Fill({ x, y, x + 12, y + 1 }, ParchmentDeep);
    c.Set(x, y, Clay);
    c.Set(x + 11, y, Clay);
    c.Fill({ x, y + 1, x + 12, y + 12 }, Clay);
    SunkenFace(c, { x + 1, y + 2, x + 11, y + 11 });
    c.Arrow(x + 6, y + 6, 3, 3, EarthDark);
}

// The horizontal bars' buttons, shown one to one inside the raised plates of the bar with the shared
// corner (and stretched over the whole button of the plain horizontal bar): the face only, the
// plate's frame around it, the arrow where the raised one is, as large.
void PressedSideButton(SkinCanvas& c, int x, int y, int direction)
{
    SunkenFace(c, { x, y, x + 12, y + 12 });
    c.Arrow(x + 6, y + 6, direction, 4, EarthDark);
}

// A thumb: a rounded plate with grip ribs across its middle (which repeats when stretched).
void Thumb(SkinCanvas& c, Rect r, bool vertical, Rgb track)
{
    c.Plate(r, Wheat, Cream, WheatDeep, Earth);
    c.Set(r.left, r.top, track);
    c.Set(r.right - 1, r.top, track);
    c.Set(r.left, r.bottom - 1, track);
    c.Set(r.right - 1, r.bottom - 1, track);
    Rgb rib = Mix(WheatDeep, Earth, 0.35);
    Rgb shine = Mix(Wheat, Cream, 0.6);
    if (vertical) {
        for (int y = r.top + 6; y < r.bottom - 5; y += 2) {
            c.Fill({ r.left + 4, y, r.right - 4, y + 1 }, rib);
            c.Fill({ r.left + 4, y + 1, r.right - 4, y + 2 }, shine);
        }
    } else {
        for (int x = r.left + 6; x < r.right - 5; x += 2) {
            c.Fill({ x, r.top + 4, x + 1, r.bottom - 4 }, rib);
            c.Fill({ x + 1, r.top + 4, x + 2, r.bottom - 4 }, shine);
        }
    }
}

void ListBoxFrame(SkinCanvas& c)
{
    // skinrect 115,154,182,218; clientrect 1,1,66,63: a one-pixel frame around a grained ground
    // that tiles seamlessly over any list size.
    const Rect skin { 115, 154, 182, 218 };
    c.Fill({ skin.left + 1, skin.top + 1, skin.right - 1, skin.bottom - 1 }, Paper);
    c.Grain({ skin.left + 1, skin.top + 1, skin.right - 1, skin.bottom - 1 }, 2, 65, 62);
    c.RoundFrame(skin, Clay, Mix(Clay, Parchment, 0.5));
}

void ListItem(SkinCanvas& c)
{
    // itemrect 187,199,241,221: a light band with a separator at its foot, fading in over the
    // fixed left end (10 columns) and out over the right end (5 columns).
    const Rect item { 187, 199, 241, 221 };
    c.VerticalGradient({ item.left, item.top, item.right, item.bottom - 1 }, Paper, Mix(Paper, Straw, 0.35));
    Rgb line = Mix(Straw, WheatDeep, 0.55);
    for (int x = item.left; x < item.right; ++x) {
        double t = 1.0;
        if (x - item.left < 10)
            t = double(x - item.left + 1) / 11.0;
        else if (item.right - x <= 5)
            t = double(item.right - x) / 6.0;
        c.Set(x, item.bottom - 1, Mix(Paper, line, t));
    }
}

void VerticalBar(SkinCanvas& c)
{
    // skinrect 283,6,301,59 (18 x 53): top button 0..15, track 14..37, bottom button 36..53; rows
    // 18..33 repeat when the bar is stretched.
    const int x = 283, y = 6;
    c.Fill({ x, y, x + 18, y + 53 }, Straw);
    c.Fill({ x, y, x + 1, y + 53 }, Clay);
    c.Fill({ x + 17, y, x + 18, y + 53 }, Clay);
    Rgb channel = ParchmentDeep;
    c.Fill({ x + 2, y + 15, x + 16, y + 38 }, channel);
    c.Fill({ x + 2, y + 15, x + 3, y + 38 }, Mix(channel, Clay, 0.35));
    c.Fill({ x + 15, y + 15, x + 16, y + 38 }, Mix(channel, Cream, 0.5));
    c.Plate({ x, y, x + 18, y + 15 }, Wheat, Cream, WheatDeep, Clay);
    c.Arrow(x + 9, y + 7, 1, 4, EarthDark);
    c.Plate({ x, y + 38, x + 18, y + 53 }, Wheat, Cream, WheatDeep, Clay);
    c.Arrow(x + 9, y + 45, 3, 4, EarthDark);
}

void HorizontalBars(SkinCanvas& c)
{
    // hscrollbar 230,66,283,84 (53 x 18) and bothhscrollbar 230,66,301,84 (71 x 18) share their
    // first 53 columns: left button, track 15..39, right button; the last 18 columns of the wider
    // one are the corner square where the two bars meet.
    const int x = 230, y = 66;
    c.Fill({ x, y, x + 71, y + 18 }, Straw);
    c.Fill({ x, y, x + 71, y + 1 }, Clay);
    c.Fill({ x, y + 17, x + 71, y + 18 }, Clay);
    c.Fill({ x, y, x + 1, y + 18 }, Clay);
    Rgb channel = ParchmentDeep;
    c.Fill({ x + 15, y + 4, x + 39, y + 14 }, channel);
    c.Fill({ x + 15, y + 4, x + 39, y + 5 }, Mix(channel, Clay, 0.35));
    c.Fill({ x + 15, y + 13, x + 39, y + 14 }, Mix(channel, Cream, 0.5));
    c.Plate({ x + 1, y + 1, x + 16, y + 17 }, Wheat, Cream, WheatDeep, Clay);
    c.Arrow(x + 8, y + 9, 0, 4, EarthDark);
    c.Plate({ x + 38, y + 1, x + 52, y + 17 }, Wheat, Cream, WheatDeep, Clay);
    c.Arrow(x + 45, y + 9, 2, 4, EarthDark);
    c.Fill({ x + 52, y, x + 53, y + 18 }, Clay);
    // The corner square with a small grip of dots.
    Rect corner { x + 53, y, x + 71, y + 18 };
    c.Plate(corner, Straw, Cream, Wheat, Clay);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j <= i; ++j)
            c.Set(corner.right - 4 - 3 * j, corner.bottom - 4 - 3 * (i - j), Earth);
}

// Framed pieces for the records of controls this program does not show.
void SpareControls(SkinCanvas& c)
{
    c.Plate({ 10, 10, 90, 70 }, Straw, Cream, Wheat, Clay);               // panel
    c.Fill({ 13, 13, 87, 67 }, Parchment);
    c.Plate({ 10, 80, 85, 105 }, Wheat, Cream, WheatDeep, Earth);          // button
    c.Fill({ 10, 115, 100, 137 }, Paper);                                  // edit
    c.RoundFrame({ 10, 115, 100, 137 }, Clay, Parchment);
    c.Plate({ 10, 150, 100, 170 }, Wheat, Cream, WheatDeep, Earth);        // caption strip
    c.Fill({ 10, 180, 100, 192 }, ParchmentDeep);                          // gauge
    c.HorizontalGradient({ 12, 182, 70, 190 }, Leaf, Mix(Leaf, Straw, 0.4));
    c.RoundFrame({ 10, 180, 100, 192 }, Clay, Parchment);
}

} // namespace

std::unique_ptr<TBitmap> DrawMainPicture()
{
    SkinCanvas c(207, 138, Parchment);
    c.Plate({ 0, 0, 207, 138 }, Wheat, Cream, WheatDeep, EarthDark);
    c.VerticalGradient({ 5, 4, 202, 24 }, Straw, Wheat);
    c.Fill({ 5, 25, 202, 133 }, Parchment);
    c.Grain({ 5, 25, 202, 133 }, 2, 197, 108);
    c.Frame({ 5, 25, 202, 133 }, Clay);
    for (int i = 0; i < 2; ++i) // the window's two caption buttons
        c.Plate({ 163 + 20 * i, 6, 180 + 20 * i, 21 }, Wheat, Cream, WheatDeep, Earth);
    c.Fill({ 167, 15, 176, 17 }, EarthDark);
    for (int k = 0; k < 7; ++k) {
        c.Set(187 + k, 10 + k, EarthDark);
        c.Set(193 - k, 10 + k, EarthDark);
    }
    c.Plate({ 6, 4, 22, 20 }, Leaf, Mix(Leaf, Cream, 0.5), Mix(Leaf, Ink, 0.4), EarthDark);
    return c.ToBitmap(TPixelFormat::pf8bit, EarthRamp(256));
}

std::unique_ptr<TBitmap> DrawMaskPicture()
{
    // Black is inside the window's shape: everything but rounded corners.
    SkinCanvas c(207, 138, { 0, 0, 0 });
    const Rgb outside { 255, 255, 255 };
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 3 - k; ++j) {
            c.Set(k, j, outside);
            c.Set(206 - k, j, outside);
            c.Set(k, 137 - j, outside);
            c.Set(206 - k, 137 - j, outside);
        }
    return c.ToBitmap(TPixelFormat::pf1bit);
}

std::unique_ptr<TBitmap> DrawButtonPicture()
{
    SkinCanvas c(76, 51, Parchment);
    c.Plate({ 0, 0, 76, 25 }, Wheat, Cream, WheatDeep, Earth);
    c.Plate({ 0, 25, 76, 50 }, WheatDeep, Wheat, Clay, EarthDark);
    return c.ToBitmap(TPixelFormat::pf8bit, EarthRamp(128));
}

std::unique_ptr<TBitmap> DrawCheckPicture()
{
    SkinCanvas c(78, 99, Parchment);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 6; ++col) {
            int x = col * 13, y = row * 33;
            c.Fill({ x, y, x + 13, y + 13 }, Paper);
            c.RoundFrame({ x, y, x + 13, y + 13 }, Clay, Parchment);
            if (col % 2 == 1)
                c.Arrow(x + 6, y + 6, 3, 3, row == 2 ? Leaf : EarthDark);
        }
    return c.ToBitmap(TPixelFormat::pf8bit, EarthRamp(128));
}

std::unique_ptr<TBitmap> DrawPanelPicture()
{
    SkinCanvas c(167, 68, Parchment);
    c.Plate({ 0, 0, 83, 68 }, Straw, Cream, Wheat, Clay);
    c.Fill({ 3, 3, 80, 65 }, Parchment);
    c.Plate({ 84, 0, 167, 68 }, Wheat, Cream, WheatDeep, Earth);
    c.VerticalGradient({ 87, 3, 164, 18 }, Straw, Wheat);
    c.Fill({ 87, 19, 164, 65 }, Parchment);
    return c.ToBitmap(TPixelFormat::pf8bit, EarthRamp(256));
}

std::unique_ptr<TBitmap> DrawControlPicture()
{
    SkinCanvas c(384, 421, Parchment);
    SpareControls(c);
    ListBoxFrame(c);
    ListItem(c);
    VerticalBar(c);
    HorizontalBars(c);
    Thumb(c, { 240, 6, 254, 24 }, true, ParchmentDeep);  // vertical thumb
    Thumb(c, { 259, 7, 277, 21 }, false, ParchmentDeep); // horizontal thumb
    PressedBottomButton(c, 239, 27);
    PressedTopButton(c, 253, 27);
    PressedSideButton(c, 230, 87, 2);  // right
    PressedSideButton(c, 230, 101, 0); // left
    return c.ToBitmap(TPixelFormat::pf24bit);
}

std::unique_ptr<TBitmap> DrawThumbPicture()
{
    SkinCanvas c(42, 21, Parchment);
    c.Plate({ 0, 0, 21, 21 }, Wheat, Cream, WheatDeep, Earth);
    c.Plate({ 21, 0, 42, 21 }, WheatDeep, Wheat, Clay, EarthDark);
    return c.ToBitmap(TPixelFormat::pf8bit, EarthRamp(49));
}

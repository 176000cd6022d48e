#include "SkinTestSupport.h"

#include "skin/StoredSkinLoader.h"
#include "skin/TbsSkinScrollBar.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Bar = TbsSkinScrollBar;

struct Counter {
    int changes { 0 };
    int last_changes { 0 };
};

void Count(Bar& bar, Counter& counter)
{
    bar.OnChange = [&counter](TObject*) { ++counter.changes; };
    bar.OnLastChange = [&counter](TObject*) { ++counter.last_changes; };
}

Point Centre(Rect r)
{
    return { r.left + r.Width() / 2, r.top + r.Height() / 2 };
}

void Press(Bar& bar, Point p)
{
    bar.MouseMove(0, p.x, p.y);
    bar.MouseDown(TMouseButton::mbLeft, ssLeft, p.x, p.y);
}

void Release(Bar& bar, Point p)
{
    bar.MouseUp(TMouseButton::mbLeft, 0, p.x, p.y);
}

TBitmap Render(Bar& bar)
{
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(bar.Width(), bar.Height());
    bar.Paint(target.Canvas());
    return target;
}

} // namespace

TEST(ScrollBarValues, PositionIsClampedAndReportsOnlyChanges)
{
    Bar bar(nullptr);
    Counter counter;
    Count(bar, counter);
    EXPECT_EQ(bar.Width(), 200);
    EXPECT_EQ(bar.Height(), 20);
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(counter.changes, 1);
    bar.SetPosition(100);
    EXPECT_EQ(counter.changes, 1);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(counter.changes, 2);
}

TEST(ScrollBarValues, APageLowersTheHighestPosition)
{
    Bar bar(nullptr);
    bar.SetKind(TScrollBarKind::sbVertical);
    bar.SetBounds(0, 0, 20, 200);
    bar.SetMax(99);
    bar.SetPageSize(10);
    EXPECT_EQ(bar.PageSize(), 10);
    bar.SetPosition(1000);
    EXPECT_EQ(bar.Position(), 90);
    bar.ComputeGeometry();
    // Track 17 .. 183: round(166 * 10 / 100) = 17 (at least the natural 16), drawn as 2 x 8.
    EXPECT_EQ(bar.TrackRect(), (Rect { 1, 17, 19, 183 }));
    EXPECT_EQ(bar.Part(Bar::ThumbPart).R, (Rect { 1, 183 - 16, 19, 183 }));
    bar.SetPosition(0);
    bar.ComputeGeometry();
    EXPECT_EQ(bar.Part(Bar::ThumbPart).R, (Rect { 1, 17, 19, 33 }));
}

TEST(ScrollBarValues, SettersKeepThePositionInsideWithoutEvents)
{
    Bar bar(nullptr);
    Counter counter;
    Count(bar, counter);
    bar.SetPosition(60);
    counter.changes = 0;
    bar.SetMax(40);
    EXPECT_EQ(bar.Position(), 40);
    bar.SetMin(50);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_EQ(counter.changes, 0);

    Bar paged(nullptr);
    paged.SetPosition(30);
    paged.SetPageSize(80); // 101 < 80 + 30: refused
    EXPECT_EQ(paged.PageSize(), 0);
    paged.SetPageSize(70);
    EXPECT_EQ(paged.PageSize(), 70);
    paged.SetMax(90); // 90 < 70 + 30: position := 90 - 0 - 70 + 1
    EXPECT_EQ(paged.Position(), 21);

    Count(paged, counter);
    paged.SetRange(0, 50, 10, 45);
    EXPECT_EQ(paged.Position(), 41);
    EXPECT_EQ(counter.changes, 0);
}

TEST(ScrollBarGeometry, APageLargerThanTheRangeOverhangsTheTrack)
{
    Bar horizontal(nullptr);
    horizontal.SetRange(0, 9, 40, 0);
    horizontal.ComputeGeometry();
    Rect track = horizontal.TrackRect();
    Rect thumb = horizontal.Part(Bar::ThumbPart).R;
    EXPECT_EQ(thumb.right, track.right);
    EXPECT_LT(thumb.left, track.left);

    Bar vertical(nullptr);
    vertical.SetKind(TScrollBarKind::sbVertical);
    vertical.SetBounds(0, 0, 20, 100);
    vertical.SetRange(0, 9, 40, 0);
    vertical.ComputeGeometry();
    EXPECT_EQ(vertical.Part(Bar::ThumbPart).R.top, vertical.TrackRect().top);
    EXPECT_GT(vertical.Part(Bar::ThumbPart).R.bottom, vertical.TrackRect().bottom);
}

TEST(ScrollBarGeometry, EqualMinAndMaxKeepTheThumbAtTheStart)
{
    Bar bar(nullptr);
    bar.SetRange(5, 5, 0, 5);
    bar.ComputeGeometry();
    EXPECT_EQ(bar.Part(Bar::ThumbPart).R.left, bar.TrackRect().left);
}

TEST(ScrollBarGeometry, SharedCornerLeavesTheMarkerFree)
{
    Bar bar(nullptr);
    bar.SetBounds(23, 489, 174, 17);
    bar.SetBothMarkerWidth(19);
    bar.SetBothMarkerWidth(-3); // ignored
    bar.SetBoth(true);
    bar.ComputeGeometry();
    EXPECT_EQ(bar.Part(Bar::UpPart).R, (Rect { 138, 1, 154, 16 }));
    EXPECT_EQ(bar.Part(Bar::DownPart).R, (Rect { 1, 1, 17, 16 }));
    TBitmap image = Render(bar);
    Pixel face = ColorToPixel(ColorToRGB(clBtnFace)) & 0xFFFFFF;
    for (int x = 174 - 19; x < 174; ++x)
        for (int y = 0; y < 17; ++y)
            ASSERT_EQ(image.Pixels().At(x, y) & 0xFFFFFF, face) << x << "," << y;
    // The up button's frame is drawn just before the marker.
    EXPECT_NE(image.Pixels().At(153, 8) & 0xFFFFFF, face);
}

TEST(ScrollBarMouse, HoldingAButtonRepeatsAfterTheDelay)
{
    Bar bar(nullptr);
    Counter counter;
    Count(bar, counter);
    bar.ComputeGeometry();
    Point up = Centre(bar.Part(Bar::UpPart).R);
    Press(bar, up);
    EXPECT_EQ(bar.Position(), 1); // one step at once
    EXPECT_TRUE(bar.RepeatTimerActive());
    EXPECT_EQ(bar.RepeatTimerInterval(), 500);
    bar.RepeatTimerTick(); // 500 ms: switches to 50 ms, no step
    EXPECT_EQ(bar.Position(), 1);
    EXPECT_EQ(bar.RepeatTimerInterval(), 50);
    bar.RepeatTimerTick(); // 550 ms
    bar.RepeatTimerTick();
    EXPECT_EQ(bar.Position(), 3);

    // Off the button the steps pause; back on, they resume at the fast rate.
    bar.MouseMove(ssLeft, 100, 10);
    EXPECT_FALSE(bar.RepeatTimerActive());
    bar.MouseMove(ssLeft, up.x, up.y);
    EXPECT_TRUE(bar.RepeatTimerActive());
    EXPECT_EQ(bar.RepeatTimerInterval(), 50);
    bar.RepeatTimerTick();
    EXPECT_EQ(bar.Position(), 4);

    Release(bar, up);
    EXPECT_FALSE(bar.RepeatTimerActive());
    EXPECT_FALSE(bar.Part(Bar::UpPart).Down);
    EXPECT_TRUE(bar.Part(Bar::UpPart).MouseIn);
    EXPECT_EQ(counter.changes, 4);
    EXPECT_EQ(counter.last_changes, 0); // a button press is no last change
}

TEST(ScrollBarMouse, AnAssignedButtonHandlerReplacesTheStep)
{
    Bar bar(nullptr);
    int clicks = 0;
    bar.OnUpButtonClick = [&](TObject*) { ++clicks; };
    bar.ComputeGeometry();
    Point up = Centre(bar.Part(Bar::UpPart).R);
    Press(bar, up);
    bar.RepeatTimerTick();
    bar.RepeatTimerTick();
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(bar.Position(), 0);
    Point down = Centre(bar.Part(Bar::DownPart).R);
    Release(bar, up);
    bar.SetPosition(10);
    Press(bar, down);
    EXPECT_EQ(bar.Position(), 9);
}

TEST(ScrollBarMouse, PagingOnTheTrackStopsWhenTheThumbPassesTheMouse)
{
    Bar bar(nullptr);
    bar.SetRange(0, 100, 0, 0);
    bar.SetLargeChange(10);
    Counter counter;
    Count(bar, counter);
    bar.ComputeGeometry();
    Point target { 120, 10 };
    Press(bar, target);
    EXPECT_EQ(bar.RepeatAction(), Bar::TRepeatAction::PageUp);
    EXPECT_EQ(bar.Position(), 10);
    bar.RepeatTimerTick(); // first tick: no step
    int ticks = 0;
    while (bar.RepeatTimerActive() && ticks < 100) {
        bar.RepeatTimerTick();
        ++ticks;
    }
    bar.ComputeGeometry();
    Rect thumb = bar.Part(Bar::ThumbPart).R;
    EXPECT_FALSE(bar.RepeatTimerActive());
    EXPECT_GE(thumb.right, target.x); // the thumb reached the mouse ...
    EXPECT_LT(thumb.left - 10 * 166 / 100, target.x); // ... and went no further than one page past
    EXPECT_EQ(bar.RepeatAction(), Bar::TRepeatAction::None);
    Release(bar, target);
    EXPECT_EQ(counter.last_changes, 1); // a track click is a last change
}

TEST(ScrollBarMouse, DraggingTheThumbFollowsTheMouse)
{
    Bar bar(nullptr); // track 17 .. 183, thumb 16: centres 25 .. 175
    Counter counter;
    Count(bar, counter);
    bar.ComputeGeometry();
    EXPECT_EQ(bar.ThumbRange().Lo, 25);
    EXPECT_EQ(bar.ThumbRange().Hi, 175);
    Point grip = Centre(bar.Part(Bar::ThumbPart).R);
    Press(bar, grip);
    EXPECT_TRUE(bar.Dragging());
    bar.MouseMove(ssLeft, grip.x + 75, 300); // half way, far below the bar: the drag goes on
    EXPECT_EQ(bar.Position(), 50);
    bar.MouseMove(ssLeft, grip.x + 1000, 5);
    EXPECT_EQ(bar.Position(), 100);
    bar.MouseMove(ssLeft, grip.x - 1000, 5);
    EXPECT_EQ(bar.Position(), 0);
    Release(bar, grip);
    EXPECT_FALSE(bar.Dragging());
    EXPECT_EQ(counter.changes, 3);
    EXPECT_EQ(counter.last_changes, 1);
}

TEST(ScrollBarMouse, DraggingAPagedThumbMapsOntoTheHighestPosition)
{
    Bar bar(nullptr);
    bar.SetRange(0, 99, 10, 0);
    bar.ComputeGeometry();
    Point grip = Centre(bar.Part(Bar::ThumbPart).R);
    Press(bar, grip);
    bar.MouseMove(ssLeft, grip.x + 500, 5);
    EXPECT_EQ(bar.Position(), 90);
    EXPECT_EQ(bar.PositionFromOffset(0), 0); // from the remembered offset 0
}

TEST(ScrollBarMouse, LeavingClearsTheHoverUnlessAPartIsHeld)
{
    Bar bar(nullptr);
    bar.ComputeGeometry();
    Point down = Centre(bar.Part(Bar::DownPart).R);
    bar.MouseMove(0, down.x, down.y);
    EXPECT_EQ(bar.HoverPart(), Bar::DownPart);
    EXPECT_TRUE(bar.Part(Bar::DownPart).MouseIn);
    bar.MouseLeave();
    EXPECT_EQ(bar.HoverPart(), Bar::NoPart);
    EXPECT_FALSE(bar.Part(Bar::DownPart).MouseIn);

    Point up = Centre(bar.Part(Bar::UpPart).R);
    Press(bar, up);
    bar.MouseLeave();
    EXPECT_EQ(bar.HoverPart(), Bar::UpPart);
    EXPECT_TRUE(bar.RepeatTimerActive());
}

TEST(ScrollBarPaint, UnskinnedLooksFollowTheState)
{
    Bar bar(nullptr);
    bar.ComputeGeometry();
    Pixel shadow = ColorToPixel(ColorToRGB(clBtnShadow)) & 0xFFFFFF;
    Rect up = bar.Part(Bar::UpPart).R;
    TBitmap normal = Render(bar);
    EXPECT_EQ(normal.Pixels().At(up.left, up.top) & 0xFFFFFF, shadow);
    // The arrow's tip points right: its one-pixel line is the rightmost.
    Point c = Centre(up);
    EXPECT_EQ(normal.Pixels().At(c.x + 1, c.y) & 0xFFFFFF, 0u);
    EXPECT_NE(normal.Pixels().At(c.x + 1, c.y - 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(normal.Pixels().At(c.x - 2, c.y - 3) & 0xFFFFFF, 0u);

    bar.MouseMove(0, c.x, c.y);
    TBitmap hot = Render(bar);
    EXPECT_EQ(hot.Pixels().At(up.left, up.top) & 0xFFFFFF, ColorToPixel(8388608) & 0xFFFFFF);
    EXPECT_EQ(hot.Pixels().At(up.left + 2, up.top + 2) & 0xFFFFFF, ColorToPixel(13811126) & 0xFFFFFF);
    bar.MouseDown(TMouseButton::mbLeft, ssLeft, c.x, c.y);
    TBitmap pressed = Render(bar);
    EXPECT_EQ(pressed.Pixels().At(up.left + 2, up.top + 2) & 0xFFFFFF, ColorToPixel(11899781) & 0xFFFFFF);
}

namespace {

std::vector<std::uint8_t> SkinFile(const char* name)
{
    std::ifstream in(std::string(VELMAR_SOURCE_DIR) + "/resources/skin/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

int Brightness(Pixel p)
{
    return int(p >> 16 & 0xFF) + int(p >> 8 & 0xFF) + int(p & 0xFF);
}

// What a button shows: the box around its arrow's pixels, and the mean brightness of the rest of
// its upper and lower halves.
struct ButtonLook {
    Rect arrow;
    double upper { 0 };
    double lower { 0 };
};

ButtonLook LookOf(const TBitmap& image, Rect part)
{
    const Pixel ink = ColorToPixel(RGB(84, 58, 35)) & 0xFFFFFF; // the arrows' colour
    ButtonLook look;
    double sums[2] = {};
    int counts[2] = {};
    for (int y = part.top; y < part.bottom; ++y) {
        for (int x = part.left; x < part.right; ++x) {
            Pixel p = image.Pixels().At(x, y) & 0xFFFFFF;
            if (p == ink) {
                look.arrow = look.arrow.United({ x, y, x + 1, y + 1 });
                continue;
            }
            int half = 2 * (y - part.top) < part.Height() ? 0 : 1;
            sums[half] += Brightness(p);
            ++counts[half];
        }
    }
    look.upper = sums[0] / std::max(counts[0], 1);
    look.lower = sums[1] / std::max(counts[1], 1);
    return look;
}

} // namespace

TEST(ScrollBarPaint, PressedArrowsOfTheStoredSkinKeepTheirSizeAndSink)
{
    TbsStoredSkin stored;
    TbsSkinData data;
    LoadStoredSkin(stored, data, SkinFile("skin.ini"), SkinFile("skin.pictures"));
    struct Case {
        const char* name;
        TScrollBarKind kind;
        bool both;
        int width, height;
        int part;
    };
    for (const Case& c : { Case { "top arrow", TScrollBarKind::sbVertical, false, 18, 433, Bar::DownPart },
             Case { "bottom arrow", TScrollBarKind::sbVertical, false, 18, 433, Bar::UpPart },
             Case { "left arrow, shared corner", TScrollBarKind::sbHorizontal, true, 174, 18, Bar::DownPart },
             Case { "right arrow, shared corner", TScrollBarKind::sbHorizontal, true, 174, 18, Bar::UpPart } }) {
        SCOPED_TRACE(c.name);
        Bar bar(nullptr);
        bar.SetKind(c.kind);
        bar.SetSkinDataName(c.kind == TScrollBarKind::sbVertical ? "vscrollbar" : "hscrollbar");
        bar.SetBounds(0, 0, c.width, c.height);
        bar.SetSkinData(&data);
        bar.SetBoth(c.both);
        bar.SetRange(0, 100, 10, 50);
        bar.ComputeGeometry();
        Rect part = bar.Part(c.part).R;
        ButtonLook raised = LookOf(Render(bar), part);
        Press(bar, Centre(part));
        ButtonLook pressed = LookOf(Render(bar), part);
        Release(bar, Centre(part));

        ASSERT_FALSE(raised.arrow.IsEmpty());
        EXPECT_EQ(pressed.arrow.Width(), raised.arrow.Width());
        EXPECT_EQ(pressed.arrow.Height(), raised.arrow.Height());
        EXPECT_LE(std::abs(pressed.arrow.left - raised.arrow.left) + std::abs(pressed.arrow.top - raised.arrow.top), 1);
        // Raised, the button is lit from above; pressed, it is sunken: darker above than below.
        EXPECT_GT(raised.upper, raised.lower);
        EXPECT_LT(pressed.upper, pressed.lower);
    }
}

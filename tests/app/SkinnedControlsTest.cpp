// The skinned lists, trees and bars in the real window, driven as the user drives them.
#include "SampleDisc.h"

#include "skin/TbsSkinScrollBar.h"

#include <sstream>

namespace {

class SkinnedControls : public SampleDiscTest {
protected:
    void Press(Point p) { Inject(WindowEvent::Type::MouseDown, p); }
    void Release(Point p) { Inject(WindowEvent::Type::MouseUp, p); }
    void MoveTo(Point p) { Inject(WindowEvent::Type::MouseMove, p); }
    void Inject(WindowEvent::Type type, Point p)
    {
        harness->Backend().Inject({ .type = type, .x = p.x, .y = p.y });
        harness->App().ProcessMessages();
    }
    // The centre of a part of a bar, in window coordinates.
    static Point PartCentre(TbsSkinScrollBar* bar, int part)
    {
        Rect r = bar->Part(part).R;
        Point origin = bar->WindowOrigin();
        return { origin.x + (r.left + r.right) / 2, origin.y + (r.top + r.bottom) / 2 };
    }
    void ExpandWholePhotoTree()
    {
        TTreeView* tree = Form().FotoTreeView;
        for (int i = 0; i < tree->Items().Count(); ++i)
            tree->Items()[i]->Expand(false);
        harness->Wait(0);
    }
};

} // namespace

TEST_F(SkinnedControls, ListItemsAreTwentyTwoPixelsHigh)
{
    for (TbsSkinListBox* box : { Form().SchemeListBox, Form().VideoListBox, Form().ArticlesListBox })
        EXPECT_EQ(box->ItemHeight(), 22) << box->Name();
}

TEST_F(SkinnedControls, ExpandingThePhotoTreeShowsItsBarsWithTheBothLook)
{
    TVelmarForm& f = Form();
    EXPECT_FALSE(f.VerSkinScrollBar->Visible());
    ExpandWholePhotoTree();
    ASSERT_TRUE(f.VerSkinScrollBar->Visible());
    TScrollInfo rows = f.FotoTreeView->VertScrollInfo();
    EXPECT_EQ(f.VerSkinScrollBar->PageSize(), f.FotoTreeView->VisibleCount());
    EXPECT_EQ(f.VerSkinScrollBar->Max(), rows.max);
    ASSERT_TRUE(f.HorScrollBar->Visible()) << "the place names are wider than the tree";
    EXPECT_TRUE(f.HorScrollBar->Both()) << "with both bars shown the horizontal one takes the both look";
}

TEST_F(SkinnedControls, DraggingTheThumbPutsTheBarsPositionOnTop)
{
    TVelmarForm& f = Form();
    ExpandWholePhotoTree();
    ASSERT_TRUE(f.VerSkinScrollBar->Visible());
    Point thumb = PartCentre(f.VerSkinScrollBar, TbsSkinScrollBar::ThumbPart);
    MoveTo(thumb);
    Press(thumb);
    MoveTo({ thumb.x, thumb.y + 60 });
    int position = f.VerSkinScrollBar->Position();
    EXPECT_GT(position, 0);
    Release({ thumb.x, thumb.y + 60 });
    ASSERT_NE(f.FotoTreeView->TopItem(), nullptr);
    EXPECT_EQ(f.FotoTreeView->RowOf(f.FotoTreeView->TopItem()), position);
}

TEST_F(SkinnedControls, HoldingABarsArrowRepeatsAfterADelayAndPausesOffTheButton)
{
    TVelmarForm& f = Form();
    // Enough items for the scheme list to need its bar.
    TStringList many;
    for (int i = 0; i < 100; ++i)
        many.Add("Scheme " + std::to_string(i));
    f.SchemeListBox->SetItems(many);
    std::ostringstream out, err;
    harness->Execute("click 583 87", out, err);
    harness->Wait(50);
    TbsSkinScrollBar* bar = f.SchemeListBox->VerticalBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->Visible());
    // The vertical bar's increasing button is its "up" part, at the bottom.
    Point down = PartCentre(bar, TbsSkinScrollBar::UpPart);
    MoveTo(down);
    Press(down);
    EXPECT_EQ(bar->Position(), 1) << "one step at once";
    harness->Wait(350);
    EXPECT_EQ(bar->Position(), 1) << "no repeat before the delay";
    harness->Wait(400); // past 550 ms, then 50 ms steps
    int repeated = bar->Position();
    EXPECT_GE(repeated, 3);
    MoveTo({ down.x - 40, down.y }); // off the button: the repeat pauses
    harness->Wait(60);
    int paused = bar->Position();
    harness->Wait(300);
    EXPECT_EQ(bar->Position(), paused);
    MoveTo(down);
    harness->Wait(300);
    EXPECT_GT(bar->Position(), paused) << "back on the button the repeat goes on";
    Release(down);
    int released = bar->Position();
    harness->Wait(200);
    EXPECT_EQ(bar->Position(), released);
}

TEST_F(SkinnedControls, TheHoverHintStaysUntilThePointerCrossesTheBackground)
{
    std::ostringstream out, err;
    harness->Execute("click 694 87", out, err); // Video: a list shown
    TbsSkinListBox* list = Form().VideoListBox;
    Point origin = list->ListBox().WindowOrigin();
    Point first_item { origin.x + 30, origin.y + 10 };
    MoveTo(first_item);
    harness->Wait(700);
    EXPECT_EQ(Form().CursorAtMouse(), crHandPoint);
    EXPECT_EQ(harness->App().CurrentHint(), list->Items()[0]);
    // Over the viewer (the background shows through the transparent viewer) the hint is cleared.
    MoveTo({ 300, 400 });
    harness->Wait(100);
    EXPECT_EQ(harness->App().CurrentHint(), "");
}

TEST_F(SkinnedControls, TheTreesGreyWellNeverShowsAroundASectionsList)
{
    // In each section the grey of the trees may show only within the place of that section's list
    // or tree: for the photo tree, the rectangle that holds it and its two bars, which come and go.
    TVelmarForm& f = Form();
    struct Section {
        const char* tab;
        std::vector<TControl*> controls;
    };
    const Section sections[] = {
        { "click 475 87", { f.FotoTreeView, f.VerSkinScrollBar, f.HorScrollBar } },
        { "click 583 87", { f.SchemeListBox } },
        { "click 694 87", { f.VideoListBox } },
        { "click 802 87", { f.ArticlesListBox } },
        { "click 909 87", { f.NaskaTreeView } },
    };
    const TColor grey = ColorToRGB(11840160) & 0xFFFFFF;
    for (const Section& section : sections) {
        SCOPED_TRACE(section.tab);
        std::ostringstream out, err;
        ASSERT_TRUE(harness->Execute(section.tab, out, err)) << err.str();
        harness->Wait(20);
        Rect place;
        for (TControl* control : section.controls) {
            Point origin = control->WindowOrigin();
            place = place.United(Rect::FromSize(origin.x, origin.y, control->Width(), control->Height()));
        }
        // The frame around the lists, left of the viewer.
        int stray = 0;
        Point first { -1, -1 };
        for (int y = 67 + 45; y < 67 + 515; ++y) {
            for (int x = 10; x < 210; ++x) {
                TColor colour = PixelToColor(harness->Backend().Surface().At(x, y)) & 0xFFFFFF;
                if (colour == grey && !place.Contains({ x, y }) && stray++ == 0)
                    first = { x, y };
            }
        }
        EXPECT_EQ(stray, 0) << "the first at " << first.x << ", " << first.y;
    }
}

// Failures that leave any way into the program's code end in the framework's own error box over the
// main window; the loop goes on. The box is modal: only its keys and its OK button act.
#include "HeadlessForm.h"

#include "framework/Exception.h"
#include "framework/TBitmap.h"
#include "framework/TImage.h"
#include "framework/TListBox.h"
#include "framework/TPanel.h"
#include "framework/TTimer.h"

#include <gmock/gmock.h>

#include <atomic>
#include <thread>

using testing::ElementsAre;

namespace {

// A picture that starts drawing and then fails, leaving its area half drawn.
class BrokenGraphic : public TGraphic {
public:
    const char* ClassName() const override { return "TBrokenGraphic"; }
    std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<BrokenGraphic>(); }
    int Width() const override { return 40; }
    int Height() const override { return 40; }
    void Draw(TCanvas& canvas, Rect rect) override
    {
        canvas.Brush().Color = clRed;
        canvas.FillRect({ rect.left, rect.top, rect.right, rect.top + rect.Height() / 2 });
        throw EInvalidGraphic("Cannot draw the picture");
    }
    void LoadFromStream(TStream&) override { }
    void SaveToStream(TStream&) const override { }
};

// A windowed control whose own painting fails; its children are on their own.
class BrokenPanel : public TPanel {
public:
    using TPanel::TPanel;
    void Paint(TCanvas&) override { throw Exception("Panel is broken"); }
};

constexpr TColor FormColor = RGB(212, 208, 200); // the button face the form is painted with

class ErrorBoxTest : public testing::Test {
protected:
    HeadlessForm ui { 400, 300 };

    std::vector<std::string> Reported()
    {
        std::vector<std::string> messages;
        for (const auto& box : ui.Backend().TakeErrorBoxes())
            messages.push_back(box.message);
        return messages;
    }
    const TErrorBox* Box() { return ui.Form().ErrorBox(); }
    void Fail(std::string message)
    {
        ui.Application().Post([message] { throw Exception(message); });
        ui.Pump();
    }
    TImage* Solid(Rect r, TColor color)
    {
        auto* image = ui.Add<TImage>(r.left, r.top, r.Width(), r.Height());
        TBitmap& bitmap = image->Picture().Bitmap();
        bitmap.SetSize(r.Width(), r.Height());
        bitmap.Canvas().Brush().Color = color;
        bitmap.Canvas().FillRect({ 0, 0, r.Width(), r.Height() });
        ui.Pump();
        return image;
    }
};

// Every way into the program's code, each failing every time it runs while this is set.
std::atomic<bool> s_failing { false };

void Broken()
{
    if (s_failing)
        throw Exception("Broken");
}

struct WayIn {
    const char* name;
    std::function<void(HeadlessForm&)> make_it_fail;
    friend void PrintTo(const WayIn& way, std::ostream* out) { *out << way.name; }
};

class EveryWayIn : public testing::TestWithParam<WayIn> { };

TEST_P(EveryWayIn, GivesOneBoxAndTheLoopGoesOn)
{
    HeadlessForm ui(400, 300);
    s_failing = true;
    GetParam().make_it_fail(ui);
    ui.Application().RunFor(60); // long enough for a failing timer to tick many times
    std::vector<HeadlessBackend::ErrorBox> boxes = ui.Backend().TakeErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "test");
    EXPECT_EQ(boxes[0].message, "Broken.");
    EXPECT_TRUE(ui.Application().ErrorBoxShowing());

    bool ran = false;
    ui.Application().Post([&] { ran = true; });
    ui.Pump();
    EXPECT_TRUE(ran) << "the loop stopped";
    EXPECT_FALSE(ui.Application().Terminated());
    s_failing = false; // else a failing timer opens the box again at its next tick
    ui.Key(VK_RETURN);
    EXPECT_FALSE(ui.Application().ErrorBoxShowing());
}

INSTANTIATE_TEST_SUITE_P(ErrorBox, EveryWayIn,
    testing::Values(
        WayIn { "Paint",
            [](HeadlessForm& ui) {
                class BrokenControl : public TGraphicControl {
                public:
                    using TGraphicControl::TGraphicControl;
                    void Paint(TCanvas&) override { Broken(); }
                };
                ui.Add<BrokenControl>(10, 10, 50, 50);
                ui.Form().Invalidate();
            } },
        WayIn { "Timer",
            [](HeadlessForm& ui) {
                auto* timer = ui.Form().Create<TTimer>("Timer");
                timer->SetInterval(1);
                timer->OnTimer = [](TObject*) { Broken(); };
            } },
        WayIn { "PostedWork", [](HeadlessForm& ui) { ui.Application().Post([] { Broken(); }); } },
        WayIn { "SynchronisedCall",
            [](HeadlessForm& ui) {
                std::atomic<bool> done { false };
                std::thread worker([&] {
                    try {
                        ui.Application().Synchronize([] { Broken(); });
                    } catch (const Exception&) {
                        // the waiting thread hears of it too, and stops
                    }
                    done = true;
                });
                while (!done)
                    ui.Application().RunFor(5);
                worker.join();
            } },
        WayIn { "EventHandler",
            [](HeadlessForm& ui) {
                auto* image = ui.Add<TImage>(10, 10, 50, 50);
                image->OnClick = [](TObject*) { Broken(); };
                ui.Click(20, 20);
            } },
        WayIn { "WindowEvent",
            [](HeadlessForm& ui) {
                ui.Form().OnActivate = [](TObject*) { Broken(); };
                ui.Send({ .type = WindowEvent::Type::Activate });
            } },
        WayIn { "KeyHandler",
            [](HeadlessForm& ui) {
                ui.Form().OnKeyDown = [](TObject*, int&, TShiftState) { Broken(); };
                ui.Key('A', 0, 'a');
            } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ErrorBoxTest, AnErrorOfUnknownTypeIsReportedAsSuch)
{
    ui.Application().Post([] { throw 42; });
    ui.Pump();
    EXPECT_THAT(Reported(), ElementsAre("Unknown error."));
}

TEST_F(ErrorBoxTest, AFailingControlPaintsEmptyAndReportsOnceUntilItsContentChanges)
{
    TImage* neighbour = Solid({ 100, 10, 140, 50 }, RGB(0, 0, 255));
    auto* image = ui.Add<TImage>(10, 10, 40, 40);
    image->Picture().SetGraphic(std::make_unique<BrokenGraphic>());
    ui.Pump();
    EXPECT_THAT(Reported(), ElementsAre("Cannot draw the picture."));
    // The half drawn red is gone: the control shows what lies below it; the others paint.
    EXPECT_EQ(ui.CountColor({ 10, 10, 50, 50 }, clRed), 0);
    EXPECT_EQ(ui.CountColor({ 10, 10, 50, 50 }, FormColor), 40 * 40);
    EXPECT_EQ(ui.ColorAt(110, 20), RGB(0, 0, 255));
    ui.Key(VK_RETURN);

    for (int i = 0; i < 3; ++i) {
        image->Invalidate();
        ui.Form().Invalidate();
        ui.Pump();
    }
    EXPECT_THAT(Reported(), testing::IsEmpty()) << "reported again on a repaint";
    EXPECT_FALSE(ui.Application().ErrorBoxShowing());

    // New content is painted again: a good picture shows, a broken one is reported anew.
    TBitmap good;
    good.SetSize(40, 40);
    good.Canvas().Brush().Color = RGB(0, 255, 0);
    good.Canvas().FillRect({ 0, 0, 40, 40 });
    image->Picture().SetGraphic(&good);
    ui.Pump();
    EXPECT_EQ(ui.ColorAt(30, 30), RGB(0, 255, 0));
    image->Picture().SetGraphic(std::make_unique<BrokenGraphic>());
    ui.Pump();
    EXPECT_THAT(Reported(), ElementsAre("Cannot draw the picture."));
    EXPECT_EQ(ui.ColorAt(30, 12), FormColor);
    (void)neighbour;
}

TEST_F(ErrorBoxTest, AListWhoseItemsFailToDrawIsTriedAgainWhenItsItemsChange)
{
    auto* list = ui.Add<TListBox>(10, 10, 150, 100);
    list->SetColor(RGB(255, 255, 0));
    bool failing = true;
    int drawn = 0;
    list->OnDrawItem = [&](TWinControl*, int, Rect rect, TOwnerDrawState) {
        if (failing)
            throw EListError("List index out of bounds (3)");
        ++drawn;
        list->Canvas().FillRect(rect);
    };
    list->Items().Add("one");
    list->ItemsChanged();
    ui.Pump();
    EXPECT_THAT(Reported(), ElementsAre("List index out of bounds (3)"));
    ui.Key(VK_RETURN);
    list->Invalidate();
    ui.Pump();
    EXPECT_THAT(Reported(), testing::IsEmpty());
    EXPECT_EQ(ui.ColorAt(100, 100), RGB(255, 255, 0)) << "an empty list of its colour";

    failing = false;
    list->Items().Add("two");
    list->ItemsChanged();
    ui.Pump();
    EXPECT_EQ(drawn, 2);
    EXPECT_THAT(Reported(), testing::IsEmpty());
}

TEST_F(ErrorBoxTest, AFailingWindowedControlShowsItsColourAndItsChildrenStillPaint)
{
    auto* panel = ui.Add<BrokenPanel>(200, 100, 100, 100);
    panel->SetColor(RGB(255, 255, 0));
    auto* child = ui.Form().Create<TImage>("child");
    child->SetParent(panel);
    child->SetBounds(10, 10, 20, 20);
    TBitmap& bitmap = child->Picture().Bitmap();
    bitmap.SetSize(20, 20);
    bitmap.Canvas().Brush().Color = RGB(0, 0, 255);
    bitmap.Canvas().FillRect({ 0, 0, 20, 20 });
    ui.Form().Invalidate();
    ui.Pump();
    EXPECT_THAT(Reported(), ElementsAre("Panel is broken."));
    ui.Key(VK_RETURN);
    EXPECT_EQ(ui.ColorAt(290, 190), RGB(255, 255, 0));
    EXPECT_EQ(ui.ColorAt(215, 115), RGB(0, 0, 255));
}

TEST_F(ErrorBoxTest, WhileTheBoxShowsTheWindowTakesNoInput)
{
    auto* image = ui.Add<TImage>(0, 0, 60, 60);
    image->SetCursor(crHandPoint);
    int clicks = 0, key_downs = 0, key_ups = 0;
    image->OnClick = [&](TObject*) { ++clicks; };
    ui.Form().OnKeyDown = [&](TObject*, int&, TShiftState) { ++key_downs; };
    ui.Form().OnKeyUp = [&](TObject*, int&, TShiftState) { ++key_ups; };

    Fail("First");
    ASSERT_TRUE(Box());
    ui.Click(30, 30);
    ui.DoubleClick(30, 30);
    ui.Wheel(-1, 30, 30);
    ui.Key('A', 0, 'a');
    ui.Key(VK_TAB);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(key_downs, 0);
    EXPECT_EQ(key_ups, 0);
    EXPECT_EQ(ui.Backend().Cursor(), CursorShape::Default) << "the hand of the control below";
    ASSERT_TRUE(Box()) << "closed by something other than its own keys or button";

    // Enter, Escape and Space close it; the release of the closing key goes nowhere.
    for (int key : { VK_RETURN, VK_ESCAPE, VK_SPACE }) {
        if (!Box())
            Fail("Again");
        ASSERT_TRUE(Box());
        ui.Key(key, 0, key == VK_SPACE ? ' ' : 0);
        EXPECT_FALSE(Box()) << "key " << key;
    }
    EXPECT_EQ(key_downs, 0);
    EXPECT_EQ(key_ups, 0);

    // A press on OK released outside it does not close; a click on OK does.
    Fail("Third");
    Rect ok = Box()->OkButtonRect();
    Point centre { (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2 };
    ui.Press(centre.x, centre.y);
    EXPECT_TRUE(Box()->OkPressed());
    ui.Move(ok.right + 20, centre.y);
    EXPECT_FALSE(Box()->OkPressed());
    ui.Release(ok.right + 20, centre.y);
    ASSERT_TRUE(Box());
    ui.Click(centre.x, centre.y);
    EXPECT_FALSE(Box());

    ui.Click(30, 30);
    EXPECT_EQ(clicks, 1) << "the window takes input again";
    EXPECT_EQ(ui.Backend().Cursor(), CursorShape::Hand);
}

TEST_F(ErrorBoxTest, APressUnderWayWhenTheBoxOpensEndsWithoutAClick)
{
    auto* image = ui.Add<TImage>(0, 0, 60, 60);
    int clicks = 0, releases = 0;
    image->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { throw Exception("Pressed"); };
    image->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++releases; };
    image->OnClick = [&](TObject*) { ++clicks; };
    ui.Press(30, 30);
    ASSERT_TRUE(Box());
    ui.Release(30, 30);
    EXPECT_EQ(releases, 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Box());
}

TEST_F(ErrorBoxTest, MessagesArrivingWhileTheBoxShowsWaitTheirTurnAndRepeatsAreDropped)
{
    ui.Application().Post([] { throw Exception("A"); });
    ui.Application().Post([] { throw Exception("B"); });
    ui.Application().Post([] { throw Exception("A"); });
    ui.Application().Post([] { throw Exception("B"); });
    ui.Pump();
    EXPECT_THAT(Reported(), ElementsAre("A.", "B."));
    ASSERT_TRUE(Box());
    EXPECT_EQ(Box()->Message(), "A.");
    ui.Key(VK_RETURN);
    ASSERT_TRUE(Box());
    EXPECT_EQ(Box()->Message(), "B.");
    ui.Key(VK_RETURN);
    EXPECT_FALSE(Box());
    // Once closed, the same failure is news again.
    Fail("A");
    EXPECT_THAT(Reported(), ElementsAre("A."));
}

TEST_F(ErrorBoxTest, DrawnOverTheWindowAndGoneWithoutATraceWhenClosed)
{
    TImage* below = Solid({ 0, 0, 400, 300 }, RGB(0, 128, 0));
    ui.Pump();
    Fail("File not found");
    ASSERT_TRUE(Box());
    Rect bounds = Box()->BoundsRect();
    Rect caption = Box()->CaptionRect();
    Rect icon = Box()->IconRect();
    EXPECT_TRUE(Rect::FromSize(0, 0, 400, 300).Intersected(bounds) == bounds);
    EXPECT_EQ(ui.CountColor(bounds, RGB(0, 128, 0)), 0) << "the window shows through the box";
    EXPECT_EQ(ui.ColorAt(caption.left, caption.top + 5), RGB(10, 36, 106));
    TColor middle = ui.ColorAt((icon.left + icon.right) / 2, icon.top + 3);
    EXPECT_GT(GetRValue(middle), 150) << "the icon is a red disc";
    EXPECT_LT(GetGValue(middle), 100);
    EXPECT_EQ(ui.ColorAt((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2), clWhite) << "with a white cross";

    // Something repainting beneath it does not wipe it out.
    below->Invalidate();
    ui.Pump();
    EXPECT_EQ(ui.ColorAt(caption.left, caption.top + 5), RGB(10, 36, 106));

    ui.Key(VK_ESCAPE);
    EXPECT_EQ(ui.CountColor({ 0, 0, 400, 300 }, RGB(0, 128, 0)), 400 * 300);
}

TEST(ErrorBoxWindow, TheTitleStripStillDragsButNotThroughTheBox)
{
    class DraggedForm : public TForm {
    public:
        using TForm::TForm;
        int NCHitTest(Point) override { return HTCAPTION; }
    };
    auto backend = std::make_unique<HeadlessBackend>();
    HeadlessBackend* headless = backend.get();
    TApplication application(std::move(backend), "velmar");
    auto owned = std::make_unique<DraggedForm>(&application);
    DraggedForm* form = owned.get();
    application.Adopt(std::move(owned));
    form->SetBounds(0, 0, 400, 300);
    form->CreateWindow(*headless);
    application.ShowErrorMessage("Stop");
    ASSERT_TRUE(form->ErrorBox());
    Rect box = form->ErrorBox()->BoundsRect();
    EXPECT_TRUE(form->IsCaptionPoint({ 5, 5 }));
    EXPECT_FALSE(form->IsCaptionPoint({ box.left + 5, box.top + 5 }));
}

TEST_F(ErrorBoxTest, AVeryLongMessageStillFitsTheWindow)
{
    std::string message;
    for (int i = 0; i < 400; ++i)
        message += "Cannot open file \"Graphics\\1990\\01\\00.gif\". ";
    message += std::string(5000, 'x'); // and one word longer than any line
    ui.Application().ShowErrorMessage(message);
    ASSERT_TRUE(Box());
    Rect bounds = Box()->BoundsRect();
    EXPECT_TRUE(Rect::FromSize(0, 0, 400, 300).Intersected(bounds) == bounds);
    ASSERT_FALSE(Box()->Lines().empty());
    EXPECT_EQ(Box()->Lines().back().back(), '\x85') << "the cut is marked with an ellipsis";
    EXPECT_TRUE(Box()->TextRect().bottom <= Box()->OkButtonRect().top);
}

TEST(ErrorBoxStart, ErrorsBeforeTheWindowExistsShowOnceItDoes)
{
    auto backend = std::make_unique<HeadlessBackend>();
    TApplication application(std::move(backend), "velmar");
    application.ShowErrorMessage("Skin is damaged");
    EXPECT_FALSE(application.ErrorBoxShowing());
    auto* form = application.CreateForm<TForm>();
    ASSERT_TRUE(form->ErrorBox());
    EXPECT_EQ(form->ErrorBox()->Message(), "Skin is damaged.");
}

TEST(ErrorBoxStart, WhenNoBoxCanBeDrawnTheMessageGoesToStandardError)
{
    HeadlessForm ui(400, 300);
    ui.Application().ShowErrorMessage("First");
    testing::internal::CaptureStderr();
    ui.Application().ShowErrorMessage("Second");
    ui.Application().ErrorBoxFailed(); // as when the box's fonts cannot be drawn
    ui.Application().ShowErrorMessage("Third");
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "test: First.\ntest: Second.\ntest: Third.\n");
    EXPECT_FALSE(ui.Application().ErrorBoxShowing());
}

// A measure of 10 pixels a character.
int Tens(std::string_view text)
{
    return int(text.size()) * 10;
}

struct Wrapping {
    const char* name;
    std::string text;
    int width;
    int max_lines;
    std::vector<std::string> lines;
    friend void PrintTo(const Wrapping& w, std::ostream* out) { *out << w.name; }
};

class WrapText : public testing::TestWithParam<Wrapping> { };

TEST_P(WrapText, BreaksAsExpected)
{
    const Wrapping& w = GetParam();
    EXPECT_EQ(TErrorBox::WrapText(w.text, w.width, w.max_lines, Tens), w.lines);
}

INSTANTIATE_TEST_SUITE_P(ErrorBox, WrapText,
    testing::Values(Wrapping { "AtSpaces", "one two three", 80, 10, { "one two", "three" } },
        Wrapping { "RunsOfSpacesCollapseAtBreaks", "one   two\tthree", 70, 10, { "one two", "three" } },
        Wrapping { "WordWiderThanALine", "abcdefghijkl", 50, 10, { "abcde", "fghij", "kl" } },
        Wrapping { "LineFeeds", "a\r\n\r\nb", 50, 10, { "a", "", "b" } },
        Wrapping { "ExactFit", "abcde", 50, 10, { "abcde" } },
        Wrapping { "TooManyLinesEndInAnEllipsis", "aa bb cc dd", 20, 2, { "aa", "b\x85" } },
        Wrapping { "NarrowerThanOneCharacter", "abc", 5, 10, { "a", "b", "c" } },
        Wrapping { "Empty", "", 50, 10, { "" } }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

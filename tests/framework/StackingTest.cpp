#include "framework/TApplication.h"
#include "framework/TBitmap.h"
#include "framework/TForm.h"
#include "framework/TImage.h"
#include "framework/TPanel.h"
#include "platform/HeadlessBackend.h"

#include <gtest/gtest.h>

namespace {

// A form with a full-size windowless background, a windowless button, and a windowed panel that
// was created before both of them.
class Stacking : public testing::Test {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<HeadlessBackend>();
        backend = owned.get();
        app = std::make_unique<TApplication>(std::move(owned), "velmar");
        auto created = std::make_unique<TForm>(app.get());
        form = created.get();
        app->Adopt(std::move(created));
        form->SetBounds(0, 0, 100, 100);
        panel = form->Create<TPanel>("panel");
        panel->SetParent(form);
        panel->SetBounds(60, 60, 30, 30);
        panel->SetColor(RGB(0, 0, 255));
        background = Picture("background", { 0, 0, 100, 100 }, RGB(0, 255, 0));
        button = Picture("button", { 10, 10, 20, 20 }, RGB(255, 0, 0));
        form->CreateWindow(*backend);
        for (TImage* image : { background, button })
            image->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TImage*>(sender)); };
    }

    TImage* Picture(const char* name, Rect r, TColor color)
    {
        auto* image = form->Create<TImage>(name);
        image->SetParent(form);
        image->SetBounds(r.left, r.top, r.Width(), r.Height());
        TBitmap& bitmap = image->Picture().Bitmap();
        bitmap.SetSize(r.Width(), r.Height());
        bitmap.Canvas().Brush().Color = color;
        bitmap.Canvas().FillRect({ 0, 0, r.Width(), r.Height() });
        return image;
    }

    TColor Shown(int x, int y)
    {
        form->PaintWindow();
        return PixelToColor(backend->Surface().At(x, y));
    }

    void ClickAt(int x, int y)
    {
        backend->Inject({ .type = WindowEvent::Type::MouseDown, .x = x, .y = y });
        backend->Inject({ .type = WindowEvent::Type::MouseUp, .x = x, .y = y });
        app->ProcessMessages();
    }

    HeadlessBackend* backend {};
    std::unique_ptr<TApplication> app;
    TForm* form {};
    TPanel* panel {};
    TImage* background {};
    TImage* button {};
    std::vector<TImage*> clicked;
};

} // namespace

TEST_F(Stacking, LaterSiblingsPaintAboveEarlierOnes)
{
    EXPECT_EQ(Shown(15, 15), RGB(255, 0, 0));
    EXPECT_EQ(Shown(50, 50), RGB(0, 255, 0));
}

TEST_F(Stacking, WindowedChildrenLieAboveWindowlessOnesWhateverTheOrder)
{
    background->BringToFront();
    EXPECT_EQ(Shown(70, 70), RGB(0, 0, 255));
    EXPECT_EQ(form->ControlAtPos({ 70, 70 }), panel);
}

TEST_F(Stacking, SendToBackHidesBelowTheBackgroundAndStopsClicks)
{
    button->SendToBack();
    EXPECT_EQ(Shown(15, 15), RGB(0, 255, 0));
    ClickAt(15, 15);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], background);

    button->BringToFront();
    EXPECT_EQ(Shown(15, 15), RGB(255, 0, 0));
    ClickAt(15, 15);
    EXPECT_EQ(clicked.back(), button);
}

TEST_F(Stacking, HiddenControlsNeitherPaintNorTakeClicks)
{
    button->Hide();
    EXPECT_EQ(Shown(15, 15), RGB(0, 255, 0));
    ClickAt(15, 15);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], background);
}

TEST_F(Stacking, ReleaseOutsideThePressedControlDoesNotClick)
{
    backend->Inject({ .type = WindowEvent::Type::MouseDown, .x = 15, .y = 15 });
    backend->Inject({ .type = WindowEvent::Type::MouseUp, .x = 50, .y = 50 });
    app->ProcessMessages();
    EXPECT_TRUE(clicked.empty());
}

TEST_F(Stacking, CaptionHitTestOnlyWhereNoChildWindowCovers)
{
    struct CaptionForm : TForm {
        using TForm::TForm;
        int NCHitTest(Point) override { return HTCAPTION; }
    };
    CaptionForm captioned(nullptr);
    captioned.SetBounds(0, 0, 100, 100);
    auto* inner = captioned.Create<TPanel>("inner");
    inner->SetParent(&captioned);
    inner->SetBounds(60, 60, 30, 30);
    EXPECT_TRUE(captioned.IsCaptionPoint({ 10, 10 }));
    EXPECT_FALSE(captioned.IsCaptionPoint({ 70, 70 }));
    EXPECT_FALSE(form->IsCaptionPoint({ 10, 10 })); // a plain form answers "client"
}

TEST_F(Stacking, TabOrderFollowsTabOrderNumbersDepthFirst)
{
    auto* second = form->Create<TPanel>("second");
    second->SetParent(form);
    second->SetTabOrder(1);
    panel->SetTabOrder(0);
    auto* child = panel->Create<TPanel>("child");
    child->SetParent(panel);
    for (TWinControl* c : std::initializer_list<TWinControl*> { panel, second, child })
        c->SetTabStop(true);
    form->SelectNext(nullptr, true, true);
    EXPECT_EQ(form->ActiveControl(), panel);
    form->SelectNext(panel, true, true);
    EXPECT_EQ(form->ActiveControl(), child);
    form->SelectNext(child, false, true);
    EXPECT_EQ(form->ActiveControl(), panel);
    second->Hide();
    form->SelectNext(child, true, true);
    EXPECT_EQ(form->ActiveControl(), panel) << "a hidden control is no tab stop";
}

namespace {

// A container that gives up its first child the first time it paints, as a skinned list box lets
// a bar go that its content no longer needs.
class Shrinking : public TWinControl {
public:
    using TWinControl::TWinControl;
    void Paint(TCanvas& canvas) override
    {
        TWinControl::Paint(canvas);
        if (!Controls().empty() && !m_shrunk) {
            m_shrunk = true;
            DestroyComponent(Controls().front());
        }
    }

private:
    bool m_shrunk { false };
};

} // namespace

TEST(StackingEdges, AChildRemovedWhileItsParentPaintsLeavesTheRestPainted)
{
    auto owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* backend = owned.get();
    TApplication app(std::move(owned), "velmar");
    auto created = std::make_unique<TForm>(&app);
    TForm* form = created.get();
    app.Adopt(std::move(created));
    form->SetBounds(0, 0, 100, 100);
    auto* box = form->Create<Shrinking>("box");
    box->SetParent(form);
    box->SetBounds(0, 0, 100, 100);
    box->SetColor(RGB(255, 255, 255));
    TPanel* panels[3];
    for (int i = 0; i < 3; ++i) {
        panels[i] = box->Create<TPanel>("panel" + std::to_string(i));
        panels[i]->SetParent(box);
        panels[i]->SetBounds(10 + 30 * i, 10, 20, 20);
        panels[i]->SetColor(RGB(0, 0, 255));
    }
    form->CreateWindow(*backend);
    app.ProcessMessages();
    EXPECT_EQ(box->Controls().size(), 2u);
    // The two that stay are painted; where the first was, the box's own colour shows.
    EXPECT_EQ(PixelToColor(backend->Surface().At(50, 20)) & 0xFFFFFF, RGB(0, 0, 255));
    EXPECT_EQ(PixelToColor(backend->Surface().At(80, 20)) & 0xFFFFFF, RGB(0, 0, 255));
    EXPECT_EQ(PixelToColor(backend->Surface().At(20, 20)) & 0xFFFFFF, RGB(255, 255, 255));
}

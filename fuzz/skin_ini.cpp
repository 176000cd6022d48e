// Fuzzes the skin INI reader and everything that paints with what it reads: the text is loaded as a
// stored skin's INI text into skin data, and a window shows skinned list boxes (with items, their
// own bars and an owner-drawn item), a skinned tree with both bars attached and bars of its own, at
// several sizes, pressed and hovered. Painting must neither fail (an error box is a finding) nor
// take more than the area it paints.
#include "framework/Exception.h"
#include "framework/TApplication.h"
#include "framework/TBitmap.h"
#include "framework/TForm.h"
#include "platform/HeadlessBackend.h"
#include "skin/TbsSkinData.h"
#include "skin/TbsSkinListBox.h"
#include "skin/TbsSkinScrollBar.h"
#include "skin/TbsSkinTreeView.h"
#include "skin/TbsStoredSkin.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

constexpr int FormWidth = 380;
constexpr int FormHeight = 340;

std::unique_ptr<TBitmap> Picture(int width, int height)
{
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixelFormat(TPixelFormat::pf24bit);
    picture->SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < picture->RowBytes(); ++x)
            picture->ScanLine(y)[x] = std::uint8_t(x ^ y);
    picture->Modified();
    return picture;
}

class FuzzForm : public TForm {
public:
    explicit FuzzForm(TComponent* owner)
        : TForm(owner)
    {
        SetBounds(0, 0, FormWidth, FormHeight);
    }
};

// One application and window for the whole run; each input gets controls of its own.
struct Window {
    HeadlessBackend* backend;
    std::unique_ptr<TApplication> application;
    TForm* form;

    Window()
    {
        auto owned = std::make_unique<HeadlessBackend>();
        backend = owned.get();
        application = std::make_unique<TApplication>(std::move(owned), "fuzz.exe");
        form = application->CreateForm<FuzzForm>();
        application->ProcessMessages();
    }

    void Send(WindowEvent event)
    {
        backend->Inject(event);
        application->ProcessMessages();
    }
    // Presses at a point, moves away and back, releases: pressed, hovered and dragged looks.
    void PressAndDrag(Point p)
    {
        Send({ .type = WindowEvent::Type::MouseMove, .x = p.x, .y = p.y });
        Send({ .type = WindowEvent::Type::MouseDown, .x = p.x, .y = p.y, .button = 1 });
        Send({ .type = WindowEvent::Type::MouseMove, .x = p.x + 3, .y = p.y + 40 });
        Send({ .type = WindowEvent::Type::MouseUp, .x = p.x + 3, .y = p.y + 40, .button = 1 });
        Send({ .type = WindowEvent::Type::Wheel, .x = p.x, .y = p.y, .wheel = -2 });
    }
};

template<typename T>
std::unique_ptr<T> Place(TForm* form, int left, int top, int width, int height)
{
    auto control = std::make_unique<T>(nullptr);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
}

// The middle of a control's part in window coordinates.
Point Centre(const TControl& control, Rect part)
{
    Point origin = control.WindowOrigin();
    return { origin.x + part.left / 2 + part.right / 2, origin.y + part.top / 2 + part.bottom / 2 };
}

void PaintEverything(Window& window, TbsSkinData& skin, std::uint8_t variant)
{
    TForm* form = window.form;
    auto list = Place<TbsSkinListBox>(form, 4, 4, 174, 200);
    list->SetHorizontalExtent(variant & 1);
    for (int i = 0; i < 14; ++i)
        list->Items().Add(i == 9 ? "A caption far wider than any list it could be shown in" : "Entry " + std::to_string(i));
    list->ItemsChanged();
    list->SetItemIndex(variant % 14);
    if (variant & 2) {
        // The window's own drawing: the caption at the text rectangle's corner, bold when selected.
        list->OnDrawItem = [&list = *list](TCanvas& canvas, int index, int, int, Rect text_rect, TOwnerDrawState state) {
            canvas.Font().SetStyle(state & odSelected ? fsBold : 0);
            canvas.SetBkMode(TRANSPARENT);
            canvas.TextOut(text_rect.left, text_rect.top, list.Items()[index]);
        };
    }
    list->SetSkinData(&skin);

    auto tree = Place<TbsSkinTreeView>(form, 190, 4, 150, 300);
    auto vertical = Place<TbsSkinScrollBar>(form, 342, 4, 17, 300);
    vertical->SetKind(TScrollBarKind::sbVertical);
    vertical->SetSkinDataName("vscrollbar");
    auto horizontal = Place<TbsSkinScrollBar>(form, 190, 306, 150, 17);
    horizontal->SetSkinDataName("hscrollbar");
    tree->SetVScrollBar(vertical.get());
    tree->SetHScrollBar(horizontal.get());
    for (int i = 0; i < 12; ++i) {
        TTreeNode* node = tree->Items().Add(nullptr, i == 5 ? "A node whose caption needs the horizontal bar" : "Node");
        tree->Items().AddChild(node, "child");
        if (i % 2 == 0)
            node->Expand(false);
    }
    vertical->SetSkinData(&skin);
    horizontal->SetSkinData(&skin);
    tree->SetSkinData(&skin);

    // A bar of each kind on its own, the horizontal one with the shared corner.
    auto lone = Place<TbsSkinScrollBar>(form, 360, 4, 17, 200);
    lone->SetKind(TScrollBarKind::sbVertical);
    lone->SetSkinDataName("vscrollbar");
    lone->SetRange(0, 100, variant % 3 == 0 ? 0 : 20, variant % 90);
    lone->SetSkinData(&skin);
    auto both = Place<TbsSkinScrollBar>(form, 190, 318, 170, 17);
    both->SetSkinDataName("hscrollbar");
    both->SetBoth(true);
    both->SetRange(0, 60, 10, 25);
    both->SetSkinData(&skin);

    // Each size is painted whole, then one part of one bar is pressed, dragged and released, and
    // the wheel turned over it: which ones, the input's bits say.
    int choice = variant;
    for (Size size : { Size { 174, 200 }, Size { 37, 60 }, Size { 300, 320 } }) {
        list->SetBounds(4, 4, size.width, size.height);
        tree->SetBounds(190, 4, size.width / 2 + 1, size.height / 2 + 1);
        lone->SetBounds(360, 4, 17, size.height / 3 + 1);
        both->SetBounds(190, 318, size.width, 17);
        window.application->ProcessMessages();
        TbsSkinScrollBar* bars[] = { lone.get(), both.get(), vertical.get(), list->VerticalBar() };
        TbsSkinScrollBar* bar = bars[choice % 4];
        int part = choice / 4 % 3;
        choice = choice * 7 + 3;
        if (bar && bar->Showing()) {
            bar->ComputeGeometry();
            window.PressAndDrag(Centre(*bar, bar->Part(part).R));
        } else {
            window.PressAndDrag(Centre(list->ListBox(), list->ListBox().ClientRect()));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Window window;
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(data), size));
    TbsStoredSkin stored;
    stored.SetIniStrings(lines);
    static const std::unique_ptr<TBitmap> pictures[] = { Picture(40, 30), Picture(60, 40), Picture(80, 50),
        Picture(100, 60) };
    for (const auto& picture : pictures)
        stored.AddControlPicture(std::make_unique<TBitmap>(*picture));
    TbsSkinData skin;
    try {
        skin.SetStoredSkin(&stored);
    } catch (const Exception&) {
        // A malformed value stops the load; what was read is still painted with.
    }
    PaintEverything(window, skin, size == 0 ? 0 : data[size / 2]);
    window.application->ProcessMessages();
    if (!window.backend->TakeErrorBoxes().empty())
        __builtin_trap(); // painting raised an exception
    return 0;
}

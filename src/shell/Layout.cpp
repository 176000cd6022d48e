#include "shell/TVelmarForm.h"

#include "LayoutPictures.h"
#include "SkinResources.h"
#include "framework/TBitmap.h"
#include "platform/Cp1251.h"
#include "platform/PngCodec.h"

#include <cstring>

namespace {

// One windowless picture control of the layout.
struct ImageRow {
    TImage* TVelmarForm::*field;
    const char* name;
    int left, top, width, height;
    bool visible;
    bool has_picture;
    TCursor cursor;
    const char* hint; // UTF-8; null when the control has no hint
    bool show_hint;
};

// Loads the embedded picture of `name` into a 32-bit bitmap.
void LoadPicture(TImage* image, const char* name)
{
    PixelBuffer pixels = DecodePng(LayoutPicture(name));
    TBitmap& bitmap = image->Picture().Bitmap();
    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    bitmap.SetSize(pixels.Width(), pixels.Height());
    for (int y = 0; y < pixels.Height(); ++y)
        std::memcpy(bitmap.ScanLine(y), pixels.Row(y), std::size_t(pixels.Width()) * 4);
    bitmap.Modified();
}

// MainPanel's picture controls, lowest first; the windowed controls lie above all of them.
constexpr TCursor hand = crHandPoint;
constexpr TCursor none = crDefault;
const ImageRow main_panel_images[] = {
    { &TVelmarForm::body, "body", 0, 0, 1024, 671, true, true, none, nullptr, false },
    { &TVelmarForm::ImagePhotoH, "ImagePhotoH", 430, 0, 92, 40, true, false, hand, "", true },
    { &TVelmarForm::ImageSchemeH, "ImageSchemeH", 526, 0, 115, 40, true, false, hand, "", true },
    { &TVelmarForm::ImageVideoH, "ImageVideoH", 642, 0, 105, 40, true, false, hand, "", true },
    { &TVelmarForm::ImageArticlesH, "ImageArticlesH", 745, 0, 115, 40, true, false, hand, "", true },
    { &TVelmarForm::ImageBonusH, "ImageBonusH", 857, 0, 104, 40, true, false, hand, "", true },
    { &TVelmarForm::ImagePrevH, "ImagePrevH", 952, 576, 23, 23, true, false, none, "", true },
    { &TVelmarForm::ImageNextH, "ImageNextH", 974, 576, 23, 23, true, false, none, "", true },
    { nullptr, "InfoLabel", 0, 0, 0, 0, true, false, none, nullptr, false },
    { &TVelmarForm::ImageNext, "ImageNext", 974, 578, 19, 19, true, true, hand, nullptr, false },
    { &TVelmarForm::ImagePrev, "ImagePrev", 954, 578, 19, 19, true, true, hand, nullptr, false },
    { &TVelmarForm::ImagePhoto, "ImagePhoto", 427, -2, 98, 40, true, true, none, "", true },
    { &TVelmarForm::ImageBonus, "ImageBonus", 854, -4, 103, 43, true, true, hand, "", true },
    { &TVelmarForm::ImageArticles, "ImageArticles", 742, -2, 115, 40, true, true, none, "", true },
    { &TVelmarForm::ImageVideo, "ImageVideo", 639, 0, 102, 39, true, true, none, "", true },
    { &TVelmarForm::ImageScheme, "ImageScheme", 520, -3, 123, 44, true, true, none, "", true },
    { &TVelmarForm::Scheme, "Scheme", 221, 609, 123, 40, true, true, hand, nullptr, false },
    { &TVelmarForm::FonImage, "FonImage", 226, 60, 768, 514, false, true, none, nullptr, false },
    { &TVelmarForm::Image, "Image", 226, 60, 768, 514, true, false, none, nullptr, false },
    { &TVelmarForm::ImageTavrin, "ImageTavrin", 28, 610, 167, 40, true, false, hand, nullptr, false },
    { &TVelmarForm::ImageUFO, "ImageUFO", 20, 523, 180, 80, true, true, hand, nullptr, false },
    { &TVelmarForm::FonVideoImage, "FonVideoImage", 867, 575, 130, 24, false, true, none, nullptr, false },
    { &TVelmarForm::ImageBackwardH, "ImageBackwardH", 898, 578, 19, 19, false, true, none, "Перемотка назад", false },
    { &TVelmarForm::ImagePlayH, "ImagePlayH", 917, 578, 19, 19, false, true, none, "Проиграть", false },
    { &TVelmarForm::ImagePauseH, "ImagePauseH", 936, 578, 19, 19, false, true, none, "Пауза", false },
    { &TVelmarForm::ImageStopH, "ImageStopH", 954, 578, 19, 19, false, true, none, "Остановить ", false },
    { &TVelmarForm::ImageForwardH, "ImageForwardH", 973, 578, 19, 19, false, true, none, "Перемотка вперед", false },
    { &TVelmarForm::ImageStop, "ImageStop", 954, 578, 19, 19, false, true, hand, "Остановить ", true },
    { &TVelmarForm::ImagePlay, "ImagePlay", 917, 578, 19, 19, false, true, hand, "Проиграть", true },
    { &TVelmarForm::ImageForward, "ImageForward", 973, 578, 19, 19, false, true, hand, "Перемотка вперед", true },
    { &TVelmarForm::ImagePause, "ImagePause", 935, 578, 19, 19, false, true, hand, "Пауза", true },
    { &TVelmarForm::ImageBackward, "ImageBackward", 898, 578, 19, 19, false, true, hand, "Перемотка назад", true },
};

constexpr TColor tree_grey = 11840160; // red 160, green 170, blue 180

} // namespace

std::string Ansi(std::string_view utf8)
{
    return Utf8ToCp1251(utf8);
}

void TVelmarForm::CreateLayout()
{
    SetCaption("Velmar");
    SetBounds(0, 0, 1024, 738);
    SetColor(clBtnFace);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);

    header = Create<TImage>("header");
    header->SetParent(this);
    header->SetBounds(0, 0, 1024, 67);
    LoadPicture(header, "header");

    MainPanel = Create<TPanel>("MainPanel");
    MainPanel->SetParent(this);
    MainPanel->SetBounds(0, 67, 1024, 671);
    MainPanel->SetTabOrder(0);

    HeaderPanel = Create<TPanel>("HeaderPanel");
    HeaderPanel->SetParent(this);
    HeaderPanel->SetBounds(981, 13, 35, 21);
    HeaderPanel->SetTabOrder(1);

    for (const ImageRow& row : main_panel_images) {
        if (!row.field) {
            InfoLabel = Create<TLabel>("InfoLabel");
            InfoLabel->SetParent(MainPanel);
            InfoLabel->SetBounds(384, 619, 0, 20);
            InfoLabel->Font().SetName("MS Sans Serif");
            InfoLabel->Font().SetHeight(20);
            InfoLabel->Font().SetStyle(fsBold);
            InfoLabel->Font().SetColor(clWindowText);
            InfoLabel->SetTransparent(true);
            InfoLabel->SetAutoSize(true);
            continue;
        }
        TImage* image = Create<TImage>(row.name);
        this->*row.field = image;
        image->SetParent(MainPanel);
        image->SetBounds(row.left, row.top, row.width, row.height);
        image->SetVisible(row.visible);
        image->SetCursor(row.cursor);
        if (row.hint)
            image->SetHint(Ansi(row.hint));
        image->SetShowHint(row.show_hint);
        if (row.has_picture)
            LoadPicture(image, row.name);
    }
    ImagePhoto->SetTransparent(true);
    for (TImage* tab : { ImageBonus, ImageArticles, ImageVideo, ImageScheme })
        tab->SetAutoSize(true);
    FonImage->SetStretch(true);
    Image->SetCenter(true);
    Image->SetTransparent(true);

    CreateListsAndTrees();

    ImageMC = Create<TImage>("ImageMC");
    ImageMC->SetParent(HeaderPanel);
    ImageMC->SetBounds(0, 0, 35, 21);
    LoadPicture(ImageMC, "ImageMC");
    ImageHide = Create<TImage>("ImageHide");
    ImageHide->SetParent(HeaderPanel);
    ImageHide->SetBounds(0, 2, 17, 17);
    ImageClose = Create<TImage>("ImageClose");
    ImageClose->SetParent(HeaderPanel);
    ImageClose->SetBounds(18, 2, 17, 17);
    for (auto [image, hint] : { std::pair { ImageHide, "Hide" }, std::pair { ImageClose, "Close" } }) {
        image->SetCursor(crHandPoint);
        image->SetHint(hint);
        image->SetShowHint(true);
    }

    bsStoredSkin1 = Create<TbsStoredSkin>("bsStoredSkin1");
    bsStoredSkin1->SetFileName("skin.ini");
    bsSkinData1 = Create<TbsSkinData>("bsSkinData1");
    RefreshTimer = Create<TTimer>("RefreshTimer");
    RefreshTimer->SetEnabled(false);
    RefreshTimer->SetInterval(1);
    ApplicationEvents = Create<TApplicationEvents>("ApplicationEvents");

    // The stored skin goes into the skin data; a damaged one is reported and the skinned controls
    // keep their plain look.
    Application->Guard([&] { LoadStoredSkin(*bsStoredSkin1, *bsSkinData1); });
    FotoTreeView->SetSkinData(bsSkinData1);
    FotoTreeView->SetVScrollBar(VerSkinScrollBar);
    FotoTreeView->SetHScrollBar(HorScrollBar);
    for (TbsSkinScrollBar* scroll_bar : { VerSkinScrollBar, HorScrollBar })
        scroll_bar->SetSkinData(bsSkinData1);
    for (TbsSkinListBox* box : { SchemeListBox, VideoListBox, ArticlesListBox })
        box->SetSkinData(bsSkinData1);
    FotoTreeView->Loaded();
    NaskaTreeView->Loaded();

    BindEvents();
}

void TVelmarForm::CreateListsAndTrees()
{
    auto place = [&](TWinControl* control, int left, int top, int width, int height, int tab_order) {
        control->SetParent(MainPanel);
        control->SetBounds(left, top, width, height);
        control->SetTabOrder(tab_order);
        control->SetVisible(false);
    };
    auto arial = [](TFont& font, int height) {
        font.SetName("Arial");
        font.SetHeight(height);
    };
    auto tree = [&](const char* name, int left, int top, int width, int height, int tab_order) {
        auto* view = Create<TbsSkinTreeView>(name);
        view->BeginLoading();
        place(view, left, top, width, height, tab_order);
        view->SetTabStop(true);
        view->SetCursor(crHandPoint);
        view->SetSkinDataName("treeview");
        view->SetDefaultColor(tree_grey);
        view->SetColor(tree_grey);
        arial(view->Font(), 14);
        TFont font = view->Font();
        view->SetDefaultFont(font);
        view->SetIndent(16);
        view->SetReadOnly(true);
        view->SetShowLines(false);
        return view;
    };
    auto bar = [&](const char* name, TScrollBarKind kind, int left, int top, int width, int height, int tab_order) {
        auto* scroll_bar = Create<TbsSkinScrollBar>(name);
        scroll_bar->SetKind(kind);
        place(scroll_bar, left, top, width, height, tab_order);
        scroll_bar->SetSkinDataName(kind == TScrollBarKind::sbVertical ? "vscrollbar" : "hscrollbar");
        scroll_bar->SetRange(0, 100, 0, 0);
        scroll_bar->SetSmallChange(1);
        scroll_bar->SetLargeChange(1);
        scroll_bar->SetCanFocused(false);
        return scroll_bar;
    };
    auto list = [&](const char* name, int left, int top, int width, int height, int tab_order, int item_height) {
        auto* box = Create<TbsSkinListBox>(name);
        place(box, left, top, width, height, tab_order);
        box->SetSkinDataName("listbox");
        box->SetDefaultItemHeight(item_height);
        box->SetShowHint(true);
        box->SetListBoxTabStop(true);
        return box;
    };

    FotoTreeView = tree("FotoTreeView", 24, 57, 155, 430, 0);
    FotoTreeView->SetVisible(true);
    VerSkinScrollBar = bar("VerSkinScrollBar", TScrollBarKind::sbVertical, 180, 56, 17, 433, 1);
    HorScrollBar = bar("HorScrollBar", TScrollBarKind::sbHorizontal, 23, 489, 174, 17, 2);

    SchemeListBox = list("SchemeListBox", 23, 56, 174, 449, 3, 18);
    arial(SchemeListBox->Font(), -12);
    arial(SchemeListBox->ListBoxFont(), 10);
    VideoListBox = list("VideoListBox", 23, 56, 174, 450, 4, 20);
    MediaPlayer = Create<TMediaPlayer>("MediaPlayer");
    place(MediaPlayer, 384, 613, 253, 29, 5);
    Video = Create<TAnimate>("Video");
    place(Video, 226, 60, 768, 514, 6);
    Video->SetColor(tree_grey);
    MediaPlayer->SetDisplay(Video);
    ArticlesListBox = list("ArticlesListBox", 25, 56, 171, 450, 7, 20);
    for (TbsSkinListBox* box : { VideoListBox, ArticlesListBox }) {
        arial(box->Font(), 14);
        arial(box->ListBoxFont(), 14);
    }
    NaskaTreeView = tree("NaskaTreeView", 24, 57, 173, 449, 8);
}

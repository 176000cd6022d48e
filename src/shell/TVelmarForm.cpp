#include "shell/TVelmarForm.h"

#include "framework/TScreen.h"

TVelmarForm::TVelmarForm(TComponent* owner)
    : TForm(owner)
{
    CreateLayout();
}

TVelmarForm::TVelmarForm(TComponent* owner, std::string missing_disc)
    : TForm(owner)
    , m_missing_disc(std::move(missing_disc))
{
    CreateLayout();
}

TVelmarForm::~TVelmarForm()
{
    if (OnDestroy)
        OnDestroy(this);
}

void TVelmarForm::BindEvents()
{
    auto bind = [this](void (TVelmarForm::*handler)(TObject*)) {
        return [this, handler](TObject* sender) { (this->*handler)(sender); };
    };
    auto bind_move = [this](void (TVelmarForm::*handler)(TObject*, TShiftState, int, int)) {
        return [this, handler](TObject* sender, TShiftState shift, int x, int y) { (this->*handler)(sender, shift, x, y); };
    };
    OnCreate = bind(&TVelmarForm::FormCreate);
    OnActivate = bind(&TVelmarForm::FormActivate);
    OnDestroy = bind(&TVelmarForm::FormDestroy);
    OnMouseMove = bind_move(&TVelmarForm::FormMouseMove);
    ApplicationEvents->OnRestore = bind(&TVelmarForm::ApplicationEventsRestore);
    RefreshTimer->OnTimer = bind(&TVelmarForm::RefreshTimerTimer);
    ImageHide->OnClick = bind(&TVelmarForm::ImageHideClick);
    ImageClose->OnClick = bind(&TVelmarForm::ImageCloseClick);

    body->OnMouseMove = bind_move(&TVelmarForm::bodyMouseMove);
    ImagePhotoH->OnClick = bind(&TVelmarForm::ImagePhotoHClick);
    ImageSchemeH->OnClick = bind(&TVelmarForm::ImageSchemeHClick);
    ImageVideoH->OnClick = bind(&TVelmarForm::ImageVideoHClick);
    ImageArticlesH->OnClick = bind(&TVelmarForm::ImageArticlesHClick);
    ImageBonusH->OnClick = bind(&TVelmarForm::ImageBonusHClick);
    ImageNext->OnClick = bind(&TVelmarForm::ImageNextClick);
    ImagePrev->OnClick = bind(&TVelmarForm::ImagePrevClick);
    Scheme->OnClick = bind(&TVelmarForm::SchemeClick);
    ImageTavrin->OnClick = bind(&TVelmarForm::ImageTavrinClick);
    ImageUFO->OnClick = bind(&TVelmarForm::ImageUFOClick);
    ImageStop->OnClick = bind(&TVelmarForm::ImageStopClick);
    ImagePlay->OnClick = bind(&TVelmarForm::ImagePlayClick);
    ImageForward->OnClick = bind(&TVelmarForm::ImageForwardClick);
    ImagePause->OnClick = bind(&TVelmarForm::ImagePauseClick);
    ImageBackward->OnClick = bind(&TVelmarForm::ImageBackwardClick);

    // The trees and lists of the sections.
    auto bind_key = [this](void (TVelmarForm::*handler)(TObject*, int&, TShiftState)) {
        return [this, handler](TObject* sender, int& key, TShiftState shift) { (this->*handler)(sender, key, shift); };
    };
    auto bind_change = [this](void (TVelmarForm::*handler)(TObject*, TTreeNode*)) {
        return [this, handler](TObject* sender, TTreeNode* node) { (this->*handler)(sender, node); };
    };
    using DrawItem = void (TVelmarForm::*)(TCanvas&, int, int, int, Rect, TOwnerDrawState);
    auto bind_draw = [this](DrawItem handler) {
        return [this, handler](TCanvas& cnvs, int index, int width, int height, Rect text_rect, TOwnerDrawState state) {
            (this->*handler)(cnvs, index, width, height, text_rect, state);
        };
    };
    using CustomDraw = void (TVelmarForm::*)(TTreeView*, const Rect&, bool&);
    auto bind_custom = [this](CustomDraw handler) {
        return [this, handler](TTreeView* sender, const Rect& rect, bool& default_draw) {
            (this->*handler)(sender, rect, default_draw);
        };
    };
    using CustomDrawItem = void (TVelmarForm::*)(TTreeView*, TTreeNode*, TCustomDrawState, bool&);
    auto bind_custom_item = [this](CustomDrawItem handler) {
        return [this, handler](TTreeView* sender, TTreeNode* node, TCustomDrawState state, bool& default_draw) {
            (this->*handler)(sender, node, state, default_draw);
        };
    };
    using AdvancedDrawItem
        = void (TVelmarForm::*)(TTreeView*, TTreeNode*, TCustomDrawState, TCustomDrawStage, bool&, bool&);
    auto bind_advanced = [this](AdvancedDrawItem handler) {
        return [this, handler](TTreeView* sender, TTreeNode* node, TCustomDrawState state, TCustomDrawStage stage,
                   bool& paint_images, bool& default_draw) {
            (this->*handler)(sender, node, state, stage, paint_images, default_draw);
        };
    };

    FotoTreeView->OnClick = bind(&TVelmarForm::FotoTreeViewClick);
    FotoTreeView->OnChange = bind_change(&TVelmarForm::FotoTreeViewChange);
    FotoTreeView->OnCustomDraw = bind_custom(&TVelmarForm::FotoTreeViewCustomDraw);
    FotoTreeView->OnCustomDrawItem = bind_custom_item(&TVelmarForm::FotoTreeViewCustomDrawItem);
    FotoTreeView->OnAdvancedCustomDrawItem = bind_advanced(&TVelmarForm::FotoTreeViewAdvancedCustomDrawItem);
    NaskaTreeView->OnClick = bind(&TVelmarForm::NaskaTreeViewClick);
    NaskaTreeView->OnChange = bind_change(&TVelmarForm::NaskaTreeViewChange);
    NaskaTreeView->OnDblClick = bind(&TVelmarForm::NaskaTreeViewDblClick);
    NaskaTreeView->OnKeyDown = bind_key(&TVelmarForm::NaskaTreeViewKeyDown);
    NaskaTreeView->OnCustomDraw = bind_custom(&TVelmarForm::NaskaTreeViewCustomDraw);
    NaskaTreeView->OnCustomDrawItem = bind_custom_item(&TVelmarForm::NaskaTreeViewCustomDrawItem);
    NaskaTreeView->OnAdvancedCustomDrawItem = bind_advanced(&TVelmarForm::NaskaTreeViewAdvancedCustomDrawItem);

    SchemeListBox->OnListBoxClick = bind(&TVelmarForm::SchemeListBoxListBoxClick);
    SchemeListBox->OnListBoxMouseMove = bind_move(&TVelmarForm::SchemeListBoxListBoxMouseMove);
    SchemeListBox->OnDrawItem = bind_draw(&TVelmarForm::SchemeListBoxDrawItem);
    VideoListBox->OnListBoxClick = bind(&TVelmarForm::VideoListBoxListBoxClick);
    VideoListBox->OnListBoxDblClick = bind(&TVelmarForm::VideoListBoxListBoxDblClick);
    VideoListBox->OnListBoxKeyDown = bind_key(&TVelmarForm::VideoListBoxListBoxKeyDown);
    VideoListBox->OnListBoxMouseMove = bind_move(&TVelmarForm::VideoListBoxListBoxMouseMove);
    VideoListBox->OnDrawItem = bind_draw(&TVelmarForm::VideoListBoxDrawItem);
    ArticlesListBox->OnListBoxClick = bind(&TVelmarForm::ArticlesListBoxListBoxClick);
    ArticlesListBox->OnListBoxDblClick = bind(&TVelmarForm::ArticlesListBoxListBoxDblClick);
    ArticlesListBox->OnListBoxKeyDown = bind_key(&TVelmarForm::ArticlesListBoxListBoxKeyDown);
    ArticlesListBox->OnListBoxMouseMove = bind_move(&TVelmarForm::ArticlesListBoxListBoxMouseMove);
    ArticlesListBox->OnDrawItem = bind_draw(&TVelmarForm::ArticlesListBoxDrawItem);
}

void TVelmarForm::FormActivate(TObject*)
{
    RefreshTimer->SetEnabled(true);
    ScaleFonts();
}

void TVelmarForm::ScaleFonts()
{
    if (Screen.PixelsPerInch() == DesignPixelsPerInch)
        return;
    int factor = Font().Height() / -11;
    const auto& children = Controls();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->Font().SetHeight((*it)->Font().Height() * factor);
}

void TVelmarForm::ApplicationEventsRestore(TObject*)
{
    RefreshTimer->SetEnabled(true);
}

void TVelmarForm::RefreshTimerTimer(TObject*)
{
    FotoTreeView->Repaint();
    NaskaTreeView->Repaint();
    RefreshTimer->SetEnabled(false);
}

void TVelmarForm::ImageHideClick(TObject*)
{
    Application->Minimize();
}

void TVelmarForm::ImageCloseClick(TObject*)
{
    Application->Terminate();
}

void TVelmarForm::FormDestroy(TObject*)
{
    // The catalogue's lists are owned by the window and go with it.
}

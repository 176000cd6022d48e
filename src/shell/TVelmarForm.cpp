#include "shell/TVelmarForm.h"

#include "framework/TScreen.h"

TVelmarForm::TVelmarForm(TComponent* owner)
    : TForm(owner)
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

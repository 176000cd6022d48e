// The Schemes view: the numbered GIF drawings of a scheme shown transparently over the background
// pattern, entered from the tab, from the Scheme button of the photo browser, or by the list.
#include "shell/TVelmarForm.h"

#include "views/ViewPaths.h"

#include <exception>

// Shows drawing 00 of scheme CurrentScheme; Next is offered when the scheme has more. With no such
// scheme (an empty catalogue) the viewer stays empty and both buttons inactive.
void TVelmarForm::ShowSchemeStart()
{
    SetPrevActive(false);
    if (CurrentScheme < 0 || CurrentScheme >= SchemeCount()) {
        EmptyViewer();
        SetNextActive(false);
        return;
    }
    const Catalogue::TGraphic& scheme = Schemes[std::size_t(CurrentScheme)];
    LoadViewerPicture(ViewPaths::SchemePicturePath(scheme.Folder, 0));
    SetNextActive(scheme.LastPicture > 0);
}

// The Scheme button of the photo browser: the scheme found for the selected place. Only the Photo
// and Schemes tabs change; the button takes itself away.
void TVelmarForm::SchemeClick(TObject*)
{
    CurrentMode = SchemePictures;
    SetPrevActive(false);
    SetNextActive(false);
    CurrentSchemePicture = 0;
    Scheme->SendToBack();
    FotoTreeView->Hide();
    SchemeListBox->Show();
    SchemeListBox->SetItemIndex(CurrentScheme);
    EmptyViewer();
    InfoLabel->SetCaption(CurrentScheme >= 0 && CurrentScheme < SchemeCount()
            ? Schemes[std::size_t(CurrentScheme)].InfoText
            : std::string());
    CurrentSchemePicture = 0;
    FonImage->Show();
    // A drawing that cannot be loaded is reported after the tab strip has followed the list.
    std::exception_ptr failure = CatchFailure([this] { ShowSchemeStart(); });
    Image->SetTransparent(true);
    ImagePhotoH->BringToFront();
    ImagePhoto->SendToBack();
    ImageSchemeH->SendToBack();
    ImageScheme->BringToFront();
    if (failure)
        std::rethrow_exception(failure);
}

// A click that leaves nothing selected has no scheme to show and is ignored.
void TVelmarForm::SchemeListBoxListBoxClick(TObject*)
{
    int index = SchemeListBox->ItemIndex();
    if (index < 0 || index >= SchemeCount())
        return;
    CurrentSchemePicture = 0;
    CurrentScheme = index;
    InfoLabel->SetCaption(Schemes[std::size_t(index)].InfoText);
    ShowSchemeStart();
}

// The five tabs of the window and the view state they share: which picture sequence Next and Prev
// step through, the active and inactive looks of those two buttons, and the tab strip.
#include "shell/TVelmarForm.h"

#include "views/ViewPaths.h"

#include <exception>
#include <memory>


void TVelmarForm::SetNextActive(bool active)
{
    ImageNext->SetVisible(active);
    ImageNextH->SetVisible(!active);
}

void TVelmarForm::SetPrevActive(bool active)
{
    ImagePrev->SetVisible(active);
    ImagePrevH->SetVisible(!active);
}

// The selected tab shows its picture and cannot be clicked (its click area lies below `body`);
// every other tab offers its click area and hides its picture.
void TVelmarForm::SelectTab(Tab selected)
{
    struct TabPair {
        Tab tab;
        TImage* area;
        TImage* picture;
    };
    const TabPair tabs[] = {
        { Tab::Photo, ImagePhotoH, ImagePhoto },
        { Tab::Schemes, ImageSchemeH, ImageScheme },
        { Tab::Video, ImageVideoH, ImageVideo },
        { Tab::Articles, ImageArticlesH, ImageArticles },
        { Tab::Bonus, ImageBonusH, ImageBonus },
    };
    for (const TabPair& pair : tabs) {
        if (pair.tab == selected) {
            pair.area->SendToBack();
            pair.picture->BringToFront();
        } else {
            pair.area->BringToFront();
            pair.picture->SendToBack();
        }
    }
}

void TVelmarForm::EmptyViewer()
{
    Image->Picture().SetGraphic(std::unique_ptr<TGraphic>());
}

// Loads a picture by its file type into the viewer. A file that cannot be opened, or whose header
// cannot be read, raises here and the viewer keeps what it showed. A JPEG whose body is damaged
// loads and fails at its first drawing: the framework reports that once, and the viewer paints
// nothing until it is given another picture.
void TVelmarForm::LoadViewerPicture(const std::string& path)
{
    Image->Picture().LoadFromFile(path);
}

// Gives the list the focus, then moves the focus one tab stop back from the active control.
void TVelmarForm::FocusAndStepBack(TWinControl* list)
{
    list->SetFocus();
    SelectNext(ActiveControl(), false, true);
}

void TVelmarForm::ClosePlayerIfPlaying()
{
    if (MediaPlayer->Mode() == dmPlaying)
        MediaPlayer->Close();
}

void TVelmarForm::HideTransportButtons()
{
    for (TImage* picture : { ImageBackward, ImageBackwardH, ImagePlay, ImagePlayH, ImagePause, ImagePauseH,
             ImageStop, ImageStopH, ImageForward, ImageForwardH })
        picture->Hide();
}

void TVelmarForm::ImagePhotoHClick(TObject*)
{
    ClosePlayerIfPlaying();
    SetPrevActive(false);
    SetNextActive(false);
    FonImage->Hide();
    FonVideoImage->Hide();
    Image->SetTransparent(false);
    for (TWinControl* other :
        std::initializer_list<TWinControl*> { NaskaTreeView, VideoListBox, SchemeListBox, ArticlesListBox })
        other->Hide();
    FotoTreeView->Show();
    FotoTreeView->SetFocus();
    EmptyViewer();
    InfoLabel->SetCaption("");
    SelectTab(Tab::Photo);
    HideTransportButtons();
    Video->Hide();
}

// The only tab that writes the view state: it shows the first drawing of scheme 0.
void TVelmarForm::ImageSchemeHClick(TObject*)
{
    ClosePlayerIfPlaying();
    CurrentMode = SchemePictures;
    CurrentSchemePicture = 0;
    CurrentScheme = 0;
    HideTransportButtons();
    FonVideoImage->Hide();
    NaskaTreeView->Hide();
    FotoTreeView->Hide();
    Image->SetTransparent(true);
    EmptyViewer();
    // With an empty scheme catalogue there is no scheme 0: the line stays empty.
    InfoLabel->SetCaption(SchemeCount() > 0 ? Schemes[0].InfoText : std::string());
    FonImage->Show();
    // A drawing that cannot be loaded is reported once the section is complete, so that the tab
    // strip and the list never stay half switched.
    std::exception_ptr failure = CatchFailure([this] { ShowSchemeStart(); });
    Image->SetTransparent(true);
    SelectTab(Tab::Schemes);
    Video->Hide();
    VideoListBox->Hide();
    ArticlesListBox->Hide();
    SchemeListBox->Show();
    SchemeListBox->SetItemIndex(0);
    FocusAndStepBack(SchemeListBox);
    if (failure)
        std::rethrow_exception(failure);
}

// A playing or paused clip is left alone; a stopped one is closed.
void TVelmarForm::ImageVideoHClick(TObject*)
{
    if (MediaPlayer->Mode() == dmStopped)
        MediaPlayer->Close();
    SetPrevActive(false);
    SetNextActive(false);
    FonImage->Hide();
    EmptyViewer();
    InfoLabel->SetCaption("");
    SelectTab(Tab::Video);
    for (TWinControl* other :
        std::initializer_list<TWinControl*> { NaskaTreeView, FotoTreeView, SchemeListBox, ArticlesListBox })
        other->Hide();
    // The entry layout: only Play active. The other pictures were hidden when the section was left.
    for (TImage* picture : { FonVideoImage, ImageBackwardH, ImagePlay, ImagePauseH, ImageStopH, ImageForwardH })
        picture->Show();
    Video->Show();
    VideoListBox->Show();
    VideoListBox->SetItemIndex(0);
    VideoListBoxListBoxClick(VideoListBox);
    FocusAndStepBack(VideoListBox);
}

void TVelmarForm::ImageArticlesHClick(TObject*)
{
    ClosePlayerIfPlaying();
    SetPrevActive(false);
    SetNextActive(false);
    FonImage->Hide();
    EmptyViewer();
    InfoLabel->SetCaption("");
    SelectTab(Tab::Articles);
    HideTransportButtons();
    FonVideoImage->Hide();
    for (TWinControl* other : std::initializer_list<TWinControl*> { NaskaTreeView, static_cast<TWinControl*>(Video),
             FotoTreeView, SchemeListBox, VideoListBox })
        other->Hide();
    ArticlesListBox->Show();
    ArticlesListBox->BringToFront();
    ArticlesListBox->SetItemIndex(0);
    std::exception_ptr failure = CatchFailure([this] { ArticlesListBoxListBoxClick(ArticlesListBox); });
    FocusAndStepBack(ArticlesListBox);
    if (failure)
        std::rethrow_exception(failure);
}

void TVelmarForm::ImageBonusHClick(TObject*)
{
    ClosePlayerIfPlaying();
    SetPrevActive(false);
    SetNextActive(false);
    FonImage->Hide();
    EmptyViewer();
    InfoLabel->SetCaption("");
    SelectTab(Tab::Bonus);
    HideTransportButtons();
    FonVideoImage->Hide();
    for (TWinControl* other : std::initializer_list<TWinControl*> { static_cast<TWinControl*>(Video), FotoTreeView,
             SchemeListBox, VideoListBox, ArticlesListBox })
        other->Hide();
    NaskaTreeView->Show();
    NaskaTreeView->SetFocus();
}

// The Video section: the list of the built-in clips, their information line, and the five
// transport pictures that drive the media player, which renders into the display window `Video`.
#include "shell/TVelmarForm.h"

#include "views/ViewPaths.h"

namespace {

// A transport button is a pair: the active picture and its inert twin at the same place.
void SetButton(TImage* active, TImage* inert, bool is_active)
{
    (is_active ? inert : active)->Hide();
    (is_active ? active : inert)->Show();
}

} // namespace

void TVelmarForm::VideoListBoxListBoxClick(TObject*)
{
    int index = VideoListBox->ItemIndex();
    if (index < 0 || index >= int(Videos.size()))
        return;
    const Catalogue::TVideo& video = Videos[std::size_t(index)];
    InfoLabel->SetCaption(ViewPaths::JoinLine({ video.Country, video.Title, video.DateText }));
}

// Opens the selected clip (closing the one open before), fills the display window with it and
// plays. A clip that cannot be opened ends here with the error box; the layout stays as it was.
void TVelmarForm::OpenSelectedClip()
{
    int index = VideoListBox->ItemIndex();
    if (index < 0 || index >= int(Videos.size()))
        return;
    MediaPlayer->SetFileName(VideoFolder + Videos[std::size_t(index)].FileName);
    MediaPlayer->Open();
    MediaPlayer->SetDisplayArea(Video->ClientRect());
    MediaPlayer->Play();
    // The Playing layout.
    SetButton(ImageBackward, ImageBackwardH, true);
    SetButton(ImagePlay, ImagePlayH, false);
    SetButton(ImagePause, ImagePauseH, true);
    SetButton(ImageStop, ImageStopH, true);
    SetButton(ImageForward, ImageForwardH, true);
}

void TVelmarForm::VideoListBoxListBoxDblClick(TObject*)
{
    OpenSelectedClip();
}

void TVelmarForm::VideoListBoxListBoxKeyDown(TObject*, int& key, TShiftState)
{
    if (key == 13)
        OpenSelectedClip();
}

// A stopped clip is first played on from the saved position; since that leaves it playing, the
// press then opens the selected entry afresh. A paused clip resumes.
void TVelmarForm::ImagePlayClick(TObject*)
{
    if (MediaPlayer->Mode() == dmStopped) {
        MediaPlayer->SetPosition(SavedPosition);
        MediaPlayer->Play();
    }
    if (MediaPlayer->Mode() == dmPaused) {
        MediaPlayer->Resume();
        SetButton(ImagePlay, ImagePlayH, false);
        SetButton(ImagePause, ImagePauseH, true);
        return;
    }
    OpenSelectedClip();
}

// Pauses a playing clip or resumes a paused one; the buttons show After pause whatever happened.
void TVelmarForm::ImagePauseClick(TObject*)
{
    MediaPlayer->Pause();
    SetButton(ImagePlay, ImagePlayH, true);
    SetButton(ImagePause, ImagePauseH, false);
}

// Closes the clip (not merely stops it).
void TVelmarForm::ImageStopClick(TObject*)
{
    MediaPlayer->Close();
    SetButton(ImageBackward, ImageBackwardH, false);
    SetButton(ImagePlay, ImagePlayH, true);
    SetButton(ImagePause, ImagePauseH, false);
    SetButton(ImageStop, ImageStopH, false);
    SetButton(ImageForward, ImageForwardH, false);
}

// One step (a tenth of the clip) towards the start; a playing clip plays on from there, a paused
// one stays paused there.
void TVelmarForm::ImageBackwardClick(TObject*)
{
    MediaPlayer->Back();
    SavedPosition = MediaPlayer->Position();
    if (ImagePause->Visible())
        MediaPlayer->Play();
}

void TVelmarForm::ImageForwardClick(TObject*)
{
    MediaPlayer->Step();
    SavedPosition = MediaPlayer->Position();
    if (ImagePause->Visible())
        MediaPlayer->Play();
}

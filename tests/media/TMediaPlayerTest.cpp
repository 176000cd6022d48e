#include "MediaClips.h"

#include "framework/TAnimate.h"
#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "media/TMediaPlayer.h"
#include "platform/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using MediaClips::Clip;

namespace {

// The window of the program in small: a form with the video display and the hidden player, on
// the headless backend.
struct PlayerWindow {
    PlayerWindow()
    {
        auto owned = std::make_unique<HeadlessBackend>();
        backend = owned.get();
        app = std::make_unique<TApplication>(std::move(owned), "velmar");
        Application = app.get();
        auto created = std::make_unique<TForm>(app.get());
        form = created.get();
        form->SetBounds(0, 0, 1024, 738);
        app->Adopt(std::move(created));
        form->CreateWindow(*backend);
        video = form->Create<TAnimate>("Video");
        video->SetParent(form);
        video->SetBounds(226, 60, 768, 514);
        player = form->Create<TMediaPlayer>("MediaPlayer");
        player->SetParent(form);
        player->SetBounds(384, 613, 253, 29);
        player->SetVisible(false);
        player->SetDisplay(video);
        player->OnNotify = [this](TObject*) { ++notices; };
    }
    ~PlayerWindow()
    {
        app.reset();
        Application = nullptr;
    }

    // Runs the message loop until `done` holds or the time is up.
    template<typename Condition>
    bool RunUntil(Condition done, std::chrono::milliseconds limit = 15s)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            app->ProcessMessages();
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }
    void RunFor(std::chrono::milliseconds time)
    {
        RunUntil([] { return false; }, time);
    }
    void OpenClip(Clip clip)
    {
        player->SetFileName(MediaClips::Path(clip));
        player->Open();
        player->SetDisplayArea(video->ClientRect());
    }
    // The frame number the display shows, from the picture it was handed.
    int Shown()
    {
        app->ProcessMessages();
        return video->Picture() ? ClipWriter::ReadFrameNumber(video->Picture()->Pixels()) : -2;
    }
    Pixel ScreenPixel(int x, int y)
    {
        app->ProcessMessages();
        return backend->Surface().At(x, y) & 0xFFFFFF;
    }

    HeadlessBackend* backend;
    std::unique_ptr<TApplication> app;
    TForm* form;
    TAnimate* video;
    TMediaPlayer* player;
    int notices { 0 };
};

void ExpectNoDevice(const std::function<void()>& operation)
{
    try {
        operation();
        FAIL() << "no exception";
    } catch (const EMCIDeviceError& error) {
        EXPECT_EQ(error.Message(), "No MCI device open");
    }
}

TEST(TMediaPlayer, WhileClosedReportsNotReadyAndRefusesTransport)
{
    PlayerWindow w;
    EXPECT_EQ(w.player->Mode(), dmNotReady);
    EXPECT_EQ(w.player->LastError(), MCIERR_INVALID_DEVICE_ID); // the status went to device 0
    EXPECT_EQ(w.player->Position(), 0);
    ExpectNoDevice([&] { w.player->Play(); });
    ExpectNoDevice([&] { w.player->Pause(); });
    ExpectNoDevice([&] { w.player->Resume(); });
    ExpectNoDevice([&] { w.player->Step(); });
    ExpectNoDevice([&] { w.player->Back(); });
    ExpectNoDevice([&] { w.player->Stop(); });
    ExpectNoDevice([&] { (void)w.player->Length(); });
    ExpectNoDevice([&] { w.player->SetPosition(3); });
    w.player->Close(); // nothing open: nothing happens
    EXPECT_FALSE(w.player->IsOpen());
    EXPECT_EQ(w.player->DisplayArea(), Rect {});
    // The display shows its own colour: red 160, green 170, blue 180.
    EXPECT_EQ(w.ScreenPixel(600, 300), 0xA0AAB4u);
}

TEST(TMediaPlayer, OpenReadsLengthCapabilitiesAndPictureSize)
{
    PlayerWindow w;
    w.player->SetFileName(MediaClips::Path(Clip::Mpeg2Sound250));
    w.player->Open();
    EXPECT_TRUE(w.player->IsOpen());
    EXPECT_NE(w.player->DeviceID(), 0);
    EXPECT_EQ(w.player->Length(), 250);
    EXPECT_EQ(w.player->StepFrames(), 25);
    EXPECT_TRUE(w.player->SupportsPlay());
    EXPECT_TRUE(w.player->SupportsVideo());
    EXPECT_TRUE(w.player->SupportsStep());
    EXPECT_FALSE(w.player->SupportsRecord());
    EXPECT_FALSE(w.player->SupportsEject());
    EXPECT_EQ(w.player->Features(), (1u << capPlay) | (1u << capWindow) | (1u << capStep));
    EXPECT_EQ(w.player->PictureWidth(), 352);
    EXPECT_EQ(w.player->PictureHeight(), 288);
    EXPECT_EQ(w.player->Mode(), dmStopped);
    EXPECT_EQ(w.player->Display(), w.video);
    // The first picture shows at the clip's size until the display area is set.
    EXPECT_EQ(w.Shown(), 0);
    ASSERT_TRUE(w.video->Picture());
    EXPECT_EQ(w.video->Picture()->Pixels().Width(), 352);
    w.player->SetDisplayArea(w.video->ClientRect());
    EXPECT_EQ(w.player->DisplayArea(), (Rect { 0, 0, 768, 514 }));
    EXPECT_EQ(w.Shown(), 0);
    EXPECT_EQ(w.video->Picture()->Pixels().Width(), 768);
    EXPECT_EQ(w.video->Picture()->Pixels().Height(), 514);
    // A rectangle of nothing means the picture's own size at the given place.
    w.player->SetDisplayArea({ 0, 0, 0, 0 });
    EXPECT_EQ(w.player->DisplayArea(), (Rect { 0, 0, 352, 288 }));
}

TEST(TMediaPlayer, ModeThroughTheWholeLifeCycle)
{
    PlayerWindow w;
    EXPECT_EQ(w.player->Mode(), dmNotReady);
    EXPECT_STREQ(ModeName(w.player->Mode()), "dmNotReady");
    w.OpenClip(Clip::Mpeg1Sound250);
    EXPECT_EQ(w.player->Mode(), dmStopped);
    EXPECT_STREQ(ModeName(w.player->Mode()), "dmStopped");
    w.player->Play();
    EXPECT_EQ(w.player->CommandFlags(), MCI_NOTIFY); // asynchronous, with a notice
    EXPECT_EQ(w.player->Mode(), dmPlaying);
    ASSERT_TRUE(w.RunUntil([&] { return w.player->Position() >= 3; }));
    w.player->Pause();
    EXPECT_EQ(w.player->Mode(), dmPaused);
    int paused_at = w.player->Position();
    EXPECT_GE(paused_at, 3);
    w.RunFor(150ms);
    EXPECT_EQ(w.player->Position(), paused_at);
    EXPECT_EQ(w.Shown(), paused_at);
    EXPECT_EQ(w.player->LastNotice(), noticeAborted);
    w.player->Pause(); // toggles back
    EXPECT_EQ(w.player->Mode(), dmPlaying);
    EXPECT_TRUE(w.RunUntil([&] { return w.player->Position() > paused_at; }));
    w.player->SetPosition(240);
    EXPECT_EQ(w.player->Mode(), dmStopped);
    w.notices = 0;
    w.player->Play();
    ASSERT_TRUE(w.RunUntil([&] { return w.notices > 0 && w.player->LastNotice() == noticeSuccessful; }));
    EXPECT_EQ(w.player->Mode(), dmStopped);
    EXPECT_EQ(w.player->Position(), 250);
    EXPECT_EQ(w.Shown(), 249); // the last picture stays
    w.player->Pause(); // stopped: nothing is sent
    EXPECT_EQ(w.player->Mode(), dmStopped);
    w.player->Close();
    EXPECT_FALSE(w.player->IsOpen());
    EXPECT_EQ(w.player->DeviceID(), 0);
    EXPECT_EQ(w.player->Mode(), dmNotReady);
    w.app->ProcessMessages();
    EXPECT_FALSE(w.video->Picture()); // the closed clip leaves the display empty
    EXPECT_EQ(w.ScreenPixel(600, 300), 0xA0AAB4u);
}

TEST(TMediaPlayer, PlaysAShortClipToTheEndAndShowsItScaled)
{
    PlayerWindow w;
    w.OpenClip(Clip::Mpeg1Silent10);
    EXPECT_EQ(w.player->StepFrames(), 1);
    w.player->Play();
    ASSERT_TRUE(w.RunUntil([&] { return w.notices > 0; }));
    EXPECT_EQ(w.player->LastNotice(), noticeSuccessful);
    EXPECT_EQ(w.player->Position(), 10);
    EXPECT_EQ(w.Shown(), 9);
    // On screen: the display rectangle of the form holds the picture, band 0 of frame 9 is dark
    // (9 = 00001001), band 7 light.
    Pixel top_band = w.ScreenPixel(226 + 20, 60 + 10);
    Pixel bottom_band = w.ScreenPixel(226 + 20, 60 + 514 - 10);
    EXPECT_LT(top_band & 0xFF, 60u);
    EXPECT_GT(bottom_band & 0xFF, 200u);
    // Play at the end rewinds first.
    w.notices = 0;
    w.player->Play();
    EXPECT_LT(w.player->Position(), 6);
    ASSERT_TRUE(w.RunUntil([&] { return w.notices > 0; }));
    EXPECT_EQ(w.player->Position(), 10);
}

TEST(TMediaPlayer, StepAndBackMoveByStepFrames)
{
    PlayerWindow w;
    w.OpenClip(Clip::Mpeg2BFrames250);
    w.player->Step();
    EXPECT_EQ(w.player->Position(), 25);
    EXPECT_EQ(w.Shown(), 25);
    w.player->Step();
    EXPECT_EQ(w.player->Position(), 50);
    w.player->Back();
    EXPECT_EQ(w.player->Position(), 25);
    EXPECT_EQ(w.Shown(), 25);
    w.player->Back();
    w.player->Back(); // at the start the step is sent anyway
    EXPECT_EQ(w.player->CommandFlags(), MCI_WAIT | MCI_DGV_STEP_FRAMES | MCI_DGV_STEP_REVERSE);
    EXPECT_EQ(w.player->LastError(), 0u);
    EXPECT_EQ(w.player->Position(), 0);
    // At the end Step rewinds first; Back does not.
    w.player->SetPosition(250);
    w.player->Step();
    EXPECT_EQ(w.player->Position(), 25);
    w.player->SetPosition(250);
    w.player->Back();
    EXPECT_EQ(w.player->Position(), 225);
    EXPECT_EQ(w.Shown(), 225);
    // Forward while playing jumps and stops; the view plays on itself.
    w.player->SetPosition(100);
    w.player->Play();
    ASSERT_TRUE(w.RunUntil([&] { return w.player->Position() > 100; }));
    int before = w.player->Position();
    w.player->Step();
    EXPECT_EQ(w.player->Mode(), dmStopped);
    EXPECT_GE(w.player->Position(), before + 25);
    EXPECT_LE(w.player->Position(), before + 35); // it may have played a few pictures on meanwhile
}

// The view's forward and backward buttons while a clip is paused: the clip stays paused at the
// stepped place, and the play button's resume goes on from there.
TEST(TMediaPlayer, StepsWhilePausedKeepThePause)
{
    PlayerWindow w;
    w.OpenClip(Clip::Mpeg2BFrames250);
    w.player->Play();
    ASSERT_TRUE(w.RunUntil([&] { return w.player->Position() >= 5; }));
    w.player->Pause();
    int paused_at = w.player->Position();
    w.player->Step();
    EXPECT_EQ(w.player->Mode(), dmPaused);
    EXPECT_EQ(w.player->Position(), paused_at + 25);
    EXPECT_EQ(w.Shown(), paused_at + 25);
    w.player->Back();
    w.player->Back();
    EXPECT_EQ(w.player->Mode(), dmPaused);
    EXPECT_EQ(w.player->Position(), paused_at - 25 < 0 ? 0 : paused_at - 25);
    int stepped_to = w.player->Position();
    w.RunFor(100ms);
    EXPECT_EQ(w.player->Position(), stepped_to);
    w.player->Resume();
    EXPECT_EQ(w.player->Mode(), dmPlaying);
    ASSERT_TRUE(w.RunUntil([&] { return w.player->Position() >= stepped_to + 3; }));
    EXPECT_LT(w.player->Position(), stepped_to + 40);
}

TEST(TMediaPlayer, OneShotOverridesApplyToTheNextCommandOnly)
{
    PlayerWindow w;
    w.OpenClip(Clip::Mpeg1Sound10);
    w.player->SetNotify(false);
    w.player->Play();
    EXPECT_EQ(w.player->CommandFlags(), 0u);
    ASSERT_TRUE(w.RunUntil([&] { return w.player->Mode() == dmStopped; }));
    w.RunFor(50ms);
    EXPECT_EQ(w.notices, 0);
    w.player->SetWait(true);
    w.player->SetFrom(2);
    w.player->SetTo(6);
    w.player->Play(); // synchronous this time
    EXPECT_EQ(w.player->CommandFlags(), MCI_NOTIFY | MCI_WAIT | MCI_FROM | MCI_TO);
    EXPECT_EQ(w.player->Position(), 6);
    EXPECT_EQ(w.Shown(), 5);
    w.RunUntil([&] { return w.notices > 0; });
    EXPECT_EQ(w.player->LastNotice(), noticeSuccessful);
    w.player->SetNotify(true);
    w.player->Stop();
    EXPECT_EQ(w.player->CommandFlags(), MCI_WAIT | MCI_NOTIFY);
    w.player->Stop();
    EXPECT_EQ(w.player->CommandFlags(), MCI_WAIT);
}

struct OpenFailure {
    const char* name;
    std::string (*make)();
    const char* text;
};

class TMediaPlayerRejects : public testing::TestWithParam<OpenFailure> { };

TEST_P(TMediaPlayerRejects, BadFilesWithTheDeviceTextClosingTheClipBefore)
{
    PlayerWindow w;
    w.OpenClip(Clip::Mpeg1Silent10);
    int open_devices = MciOpenDeviceCount();
    w.player->SetFileName(GetParam().make());
    try {
        w.player->Open();
        FAIL() << "opened";
    } catch (const EMCIDeviceError& error) {
        EXPECT_NE(error.Message().find(GetParam().text), std::string::npos) << error.Message();
        EXPECT_EQ(error.Message(), w.player->ErrorText());
    }
    EXPECT_FALSE(w.player->IsOpen());
    EXPECT_EQ(w.player->DeviceID(), 0);
    EXPECT_EQ(MciOpenDeviceCount(), open_devices - 1);
    EXPECT_EQ(w.player->Mode(), dmNotReady);
    ExpectNoDevice([&] { w.player->Play(); });
}

INSTANTIATE_TEST_SUITE_P(Files, TMediaPlayerRejects,
    testing::Values(OpenFailure { "Missing", MediaClips::Missing, "Cannot find the specified file" },
        OpenFailure { "TextNamedMpg", MediaClips::Text, "cannot be played" },
        OpenFailure { "CutInItsFirstPack", [] { return MediaClips::CutAt(Clip::Mpeg1Silent10, 20); }, "incomplete" },
        OpenFailure { "Empty", MediaClips::Empty, "empty" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TMediaPlayer, ADisplayDestroyedWhileOpenIsLetGo)
{
    PlayerWindow w;
    w.OpenClip(Clip::Mpeg1Sound250);
    w.player->Play();
    w.RunFor(100ms);
    w.form->DestroyComponent(w.video);
    EXPECT_EQ(w.player->Display(), nullptr);
    w.RunFor(100ms);
    EXPECT_EQ(w.player->Mode(), dmPlaying);
    w.player->Close();
}

TEST(TMediaPlayer, DestroyedWhilePlayingClosesTheDevice)
{
    int before = MciOpenDeviceCount();
    {
        PlayerWindow w;
        w.OpenClip(Clip::Mpeg1Sound250);
        w.player->Play();
        w.RunFor(50ms);
        w.form->DestroyComponent(w.player);
        EXPECT_EQ(MciOpenDeviceCount(), before);
        w.RunFor(50ms); // a notice posted before the end finds no player and is dropped
    }
    EXPECT_EQ(MciOpenDeviceCount(), before);
}

} // namespace

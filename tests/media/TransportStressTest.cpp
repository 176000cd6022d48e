#include "MediaClips.h"

#include "framework/TAnimate.h"
#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "media/TMediaPlayer.h"
#include "platform/HeadlessBackend.h"
#include "platform/media/MciDevices.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

using MediaClips::Clip;

namespace {

// Random transport in quick succession, as an impatient user with a fast mouse would give it.
// Built also with AddressSanitizer and ThreadSanitizer: what counts is no crash, no deadlock (the
// test finishes), no leak, no data race, and nothing left open.
TEST(TransportStress, ThousandRandomOperationsOnThePlayer)
{
    int open_before = MciOpenDeviceCount();
    {
        auto owned = std::make_unique<HeadlessBackend>();
        HeadlessBackend* backend = owned.get();
        auto app = std::make_unique<TApplication>(std::move(owned), "velmar");
        auto created = std::make_unique<TForm>(app.get());
        TForm* form = created.get();
        form->SetBounds(0, 0, 1024, 738);
        app->Adopt(std::move(created));
        form->CreateWindow(*backend);
        auto* video = form->Create<TAnimate>("Video");
        video->SetParent(form);
        video->SetBounds(226, 60, 768, 514);
        auto* player = form->Create<TMediaPlayer>("MediaPlayer");
        player->SetParent(form);
        player->SetVisible(false);
        player->SetDisplay(video);
        int notices = 0;
        player->OnNotify = [&](TObject*) { ++notices; };

        const std::string files[] = { MediaClips::Path(Clip::Mpeg1Sound250), MediaClips::Path(Clip::Mpeg1Silent10),
            MediaClips::Path(Clip::Mpeg2Sound250), MediaClips::Path(Clip::Mpeg2BFrames250),
            MediaClips::Path(Clip::Mpeg2Silent10), MediaClips::Corrupt(), MediaClips::Truncated(), MediaClips::Missing() };
        std::mt19937 random(20261208);
        int errors = 0;
        int opened = 0;
        for (int i = 0; i < 1000; ++i) {
            int op = int(random() % 100);
            try {
                if (op < 8) {
                    player->SetFileName(files[random() % std::size(files)]);
                    player->Open();
                    player->SetDisplayArea(video->ClientRect());
                    ++opened;
                } else if (op < 12) {
                    player->Close();
                } else if (op < 32) {
                    player->Play();
                } else if (op < 44) {
                    player->Pause();
                } else if (op < 50) {
                    player->Resume();
                } else if (op < 62) {
                    player->Step();
                } else if (op < 74) {
                    player->Back();
                } else if (op < 84) {
                    if (player->IsOpen())
                        player->SetPosition(int(random() % std::uint32_t(player->Length() + 1)));
                    else
                        player->SetPosition(0);
                } else if (op < 90) {
                    player->Stop();
                } else {
                    (void)player->Mode();
                    (void)player->Position();
                }
            } catch (const EMCIDeviceError&) {
                ++errors; // what the error box would show; the loop goes on
            }
            app->ProcessMessages();
            if (random() % 8 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(random() % 30));
        }
        EXPECT_GT(opened, 20);
        EXPECT_GT(errors, 0);
        EXPECT_GT(video->PicturesReceived(), 0);
        (void)notices;
        // The player goes with the form, closing its clip.
    }
    EXPECT_EQ(MciOpenDeviceCount(), open_before);
}

// Commands on one device from two threads at once, with a display window: the device serialises
// them and its thread keeps playing.
TEST(TransportStress, TwoThreadsCommandOneDevice)
{
    std::string file = MediaClips::Path(Clip::Mpeg1Sound250);
    MciDeviceId id = 0;
    ASSERT_EQ(Mci::Open({ "", file, false }, {}, id), 0u);
    std::atomic<int> frames { 0 };
    std::atomic<int> notices { 0 };
    MciWindow window = MciCreateWindow({ .notify = [&](std::uint32_t, MciDeviceId) { ++notices; }, .frame = [&](MciFramePtr) { ++frames; } });
    ASSERT_EQ(Mci::SetWindow(id, window, {}), 0u);
    const MciCompletion notify { false, window };

    auto worker = [&](unsigned seed) {
        std::mt19937 random(seed);
        for (int i = 0; i < 300; ++i) {
            switch (random() % 7) {
            case 0:
                Mci::Play(id, {}, {}, notify);
                break;
            case 1:
                Mci::Pause(id, notify);
                break;
            case 2:
                Mci::Resume(id, {});
                break;
            case 3:
                Mci::Seek(id, MciSeek::To, std::uint32_t(random() % 251), {});
                break;
            case 4:
                Mci::Step(id, random() % 2 ? MciStepDirection::Reverse : MciStepDirection::Forward,
                    std::uint32_t(random() % 40), {});
                break;
            case 5:
                Mci::PutDestination(id, MciRect { 0, 0, int(100 + random() % 700), int(100 + random() % 500) }, {});
                break;
            default: {
                std::uint32_t position = 0;
                Mci::Status(id, MciItem::Position, position);
                EXPECT_LE(position, 250u);
                break;
            }
            }
            if (random() % 10 == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(random() % 20));
        }
    };
    std::thread first(worker, 1u);
    std::thread second(worker, 2u);
    first.join();
    second.join();
    EXPECT_EQ(Mci::Close(id, { true, 0 }), 0u);
    MciDestroyWindow(window);
    EXPECT_GT(frames.load(), 0);
    EXPECT_GT(notices.load(), 0);
}

} // namespace

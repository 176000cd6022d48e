#include "MediaClips.h"

#include "platform/media/MciDevices.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using MediaClips::Clip;

namespace {

// A display window that records what the device sends it.
class TestWindow {
public:
    TestWindow()
    {
        m_handle = MciCreateWindow({
            .notify = [this](std::uint32_t code, MciDeviceId) {
                std::lock_guard guard(m_lock);
                m_notices.push_back(code);
                m_changed.notify_all();
            },
            .frame = [this](MciFramePtr frame) {
                std::lock_guard guard(m_lock);
                m_last = std::move(frame);
                ++m_frames;
                m_changed.notify_all();
            },
        });
    }
    ~TestWindow() { MciDestroyWindow(m_handle); }

    MciWindow Handle() const { return m_handle; }

    // The next notice, or 0 when none comes in time.
    std::uint32_t WaitNotice(std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(m_lock);
        if (!m_changed.wait_for(lock, timeout, [&] { return m_read < m_notices.size(); }))
            return 0;
        return m_notices[m_read++];
    }
    std::vector<std::uint32_t> Notices()
    {
        std::lock_guard guard(m_lock);
        return m_notices;
    }
    MciFramePtr Last()
    {
        std::lock_guard guard(m_lock);
        return m_last;
    }
    int FrameCount()
    {
        std::lock_guard guard(m_lock);
        return m_frames;
    }
    int ShownNumber()
    {
        MciFramePtr frame = Last();
        return frame ? ClipWriter::ReadFrameNumber(frame->Pixels()) : -2;
    }

private:
    MciWindow m_handle;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::uint32_t> m_notices;
    std::size_t m_read { 0 };
    MciFramePtr m_last;
    int m_frames { 0 };
};

constexpr MciCompletion kWait { true, 0 };

MciCompletion Notify(MciWindow window, bool wait = false)
{
    return { wait, window };
}

MciError OpenFile(const std::string& file, MciDeviceId& id)
{
    id = 0;
    return Mci::Open({ "", file, false }, kWait, id);
}

std::uint32_t Status(MciDeviceId id, MciItem item)
{
    std::uint32_t value = 0;
    EXPECT_EQ(Mci::Status(id, item, value), 0u);
    return value;
}

// Waits (the machine may be busy) until playback has reached `position`.
bool WaitForPosition(MciDeviceId id, std::uint32_t position, std::chrono::milliseconds limit = 10s)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (Status(id, MciItem::Position) < position) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

void SeekTo(MciDeviceId id, std::uint32_t position)
{
    ASSERT_EQ(Mci::Seek(id, MciSeek::To, position, kWait), 0u);
}

void StepBy(MciDeviceId id, std::uint32_t frames, bool reverse)
{
    ASSERT_EQ(Mci::Step(id, reverse ? MciStepDirection::Reverse : MciStepDirection::Forward, frames, kWait), 0u);
}

// An open clip shown in a window at its own size.
struct Opened {
    explicit Opened(Clip clip)
    {
        EXPECT_EQ(OpenFile(MediaClips::Path(clip), id), 0u);
        EXPECT_EQ(Mci::SetWindow(id, window.Handle(), kWait), 0u);
    }
    ~Opened() { Mci::Close(id, kWait); }
    TestWindow window;
    MciDeviceId id { 0 };
};

class MciClip : public testing::TestWithParam<Clip> { };

std::string ClipName(Clip clip)
{
    const char* names[] = { "Mpeg1Sound250", "Mpeg1Silent10", "Mpeg2Sound250", "Mpeg2Silent10", "Mpeg1Sound10", "Mpeg2BFrames250", "Mpeg1SoundTurnsMono" };
    return names[int(clip)];
}

TEST_P(MciClip, OpensWithItsLengthSizeAndCapabilities)
{
    Opened clip(GetParam());
    EXPECT_EQ(Status(clip.id, MciItem::Length), std::uint32_t(MediaClips::Frames(GetParam())));
    EXPECT_EQ(Status(clip.id, MciItem::Position), 0u);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_STOP);
    EXPECT_EQ(Status(clip.id, MciItem::TimeFormat), MCI_FORMAT_FRAMES);
    EXPECT_EQ(Status(clip.id, MciItem::NumberOfTracks), 1u);

    MciRect source {};
    ASSERT_EQ(Mci::Where(clip.id, MciRectKind::Source, source), 0u);
    EXPECT_EQ(source.right - source.left, 352);
    EXPECT_EQ(source.bottom - source.top, 288);

    auto caps = [&](MciCapability item) {
        std::uint32_t value = 99;
        EXPECT_EQ(Mci::Capability(clip.id, item, value), 0u);
        return value;
    };
    EXPECT_EQ(caps(MciCapability::CanPlay), 1u);
    EXPECT_EQ(caps(MciCapability::CanRecord), 0u);
    EXPECT_EQ(caps(MciCapability::CanEject), 0u);
    EXPECT_EQ(caps(MciCapability::HasVideo), 1u);
    EXPECT_EQ(caps(MciCapability::DeviceType), MCI_DEVTYPE_DIGITAL_VIDEO);
    // The window got the first picture as soon as it was named.
    EXPECT_EQ(clip.window.ShownNumber(), 0);
}

TEST_P(MciClip, SeeksAndStepsShowTheFrameOfTheNewPosition)
{
    Opened clip(GetParam());
    int length = MediaClips::Frames(GetParam());
    int step = length / 10;
    SeekTo(clip.id, std::uint32_t(length / 2));
    EXPECT_EQ(Status(clip.id, MciItem::Position), std::uint32_t(length / 2));
    EXPECT_EQ(clip.window.ShownNumber(), length / 2);
    StepBy(clip.id, std::uint32_t(step), false);
    EXPECT_EQ(Status(clip.id, MciItem::Position), std::uint32_t(length / 2 + step));
    EXPECT_EQ(clip.window.ShownNumber(), length / 2 + step);
    StepBy(clip.id, std::uint32_t(2 * step), true);
    EXPECT_EQ(Status(clip.id, MciItem::Position), std::uint32_t(length / 2 - step));
    EXPECT_EQ(clip.window.ShownNumber(), length / 2 - step);
    // Steps stop at both ends; at the end the last picture shows.
    StepBy(clip.id, std::uint32_t(length * 3), false);
    EXPECT_EQ(Status(clip.id, MciItem::Position), std::uint32_t(length));
    EXPECT_EQ(clip.window.ShownNumber(), length - 1);
    StepBy(clip.id, std::uint32_t(length * 3), true);
    EXPECT_EQ(Status(clip.id, MciItem::Position), 0u);
    EXPECT_EQ(clip.window.ShownNumber(), 0);
    ASSERT_EQ(Mci::Seek(clip.id, MciSeek::ToEnd, 0, kWait), 0u);
    EXPECT_EQ(Status(clip.id, MciItem::Position), std::uint32_t(length));
    EXPECT_EQ(clip.window.ShownNumber(), length - 1);
    ASSERT_EQ(Mci::Seek(clip.id, MciSeek::ToStart, 0, kWait), 0u);
    EXPECT_EQ(clip.window.ShownNumber(), 0);
}

TEST_P(MciClip, PlaysToTheEndAndNotifiesSuccess)
{
    Opened clip(GetParam());
    int length = MediaClips::Frames(GetParam());
    SeekTo(clip.id, std::uint32_t(std::max(0, length - 12)));
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, Notify(clip.window.Handle())), 0u);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_PLAY);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_STOP);
    EXPECT_EQ(Status(clip.id, MciItem::Position), std::uint32_t(length));
    EXPECT_EQ(clip.window.ShownNumber(), length - 1); // the last picture stays
    MciPlaybackStats stats;
    ASSERT_TRUE(MciGetPlaybackStats(clip.id, stats));
    EXPECT_EQ(stats.frames_early, 0);
    EXPECT_GE(stats.frames_shown + stats.frames_dropped, std::min(length, 12) - 1);
}

INSTANTIATE_TEST_SUITE_P(Clips, MciClip,
    testing::Values(Clip::Mpeg1Sound250, Clip::Mpeg1Silent10, Clip::Mpeg2Sound250, Clip::Mpeg2Silent10,
        Clip::Mpeg2BFrames250),
    [](const auto& info) { return ClipName(info.param); });

TEST(MciDevice, PauseHoldsThePositionAndResumeGoesOn)
{
    Opened clip(Clip::Mpeg1Sound250);
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, Notify(clip.window.Handle())), 0u);
    ASSERT_TRUE(WaitForPosition(clip.id, 5));
    ASSERT_EQ(Mci::Pause(clip.id, kWait), 0u);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_ABORTED); // the play will not finish as asked
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_PAUSE);
    std::uint32_t paused_at = Status(clip.id, MciItem::Position);
    EXPECT_GE(paused_at, 5u);
    EXPECT_LT(paused_at, 250u);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(Status(clip.id, MciItem::Position), paused_at);
    EXPECT_EQ(clip.window.ShownNumber(), int(paused_at));

    ASSERT_EQ(Mci::Resume(clip.id, Notify(clip.window.Handle())), 0u);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_PLAY);
    EXPECT_TRUE(WaitForPosition(clip.id, paused_at + 2));
    ASSERT_EQ(Mci::Stop(clip.id, kWait), 0u);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_ABORTED);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_STOP);
    // Resume applies only to a paused device.
    EXPECT_EQ(Mci::Resume(clip.id, kWait), MCIERR_NONAPPLICABLE_FUNCTION);
}

// A step moves a paused clip and leaves it paused there; resume plays on from the new place. A
// step of a playing or stopped clip leaves it stopped.
TEST(MciDevice, AStepKeepsAPausedClipPausedAtTheNewPlace)
{
    Opened clip(Clip::Mpeg2BFrames250);
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, Notify(clip.window.Handle())), 0u);
    ASSERT_TRUE(WaitForPosition(clip.id, 3));
    ASSERT_EQ(Mci::Pause(clip.id, kWait), 0u);
    std::uint32_t paused_at = Status(clip.id, MciItem::Position);
    StepBy(clip.id, 25, false);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_PAUSE);
    EXPECT_EQ(Status(clip.id, MciItem::Position), paused_at + 25);
    EXPECT_EQ(clip.window.ShownNumber(), int(paused_at + 25));
    StepBy(clip.id, 10, true);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_PAUSE);
    EXPECT_EQ(Status(clip.id, MciItem::Position), paused_at + 15);
    EXPECT_EQ(clip.window.ShownNumber(), int(paused_at + 15));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(Status(clip.id, MciItem::Position), paused_at + 15);

    ASSERT_EQ(Mci::Resume(clip.id, Notify(clip.window.Handle())), 0u);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_PLAY);
    ASSERT_TRUE(WaitForPosition(clip.id, paused_at + 17));
    EXPECT_LT(Status(clip.id, MciItem::Position), paused_at + 60); // on from the stepped place

    StepBy(clip.id, 5, false);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_STOP);
    StepBy(clip.id, 5, false);
    EXPECT_EQ(Status(clip.id, MciItem::Mode), MCI_MODE_STOP);
}

TEST(MciDevice, ANewPlayWithNoticeSupersedesThePendingOne)
{
    Opened clip(Clip::Mpeg1Silent10);
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, Notify(clip.window.Handle())), 0u);
    ASSERT_EQ(Mci::Play(clip.id, 0u, 5u, Notify(clip.window.Handle())), 0u);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_SUPERSEDED);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(clip.id, MciItem::Position), 5u);
    EXPECT_EQ(clip.window.ShownNumber(), 4);
}

TEST(MciDevice, PlayWithWaitReturnsAtTheEnd)
{
    Opened clip(Clip::Mpeg1Sound10);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, kWait), 0u);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Status(clip.id, MciItem::Position), 10u);
    EXPECT_GE(took, 390ms); // 10 pictures of 40 ms, none before its time
    EXPECT_LT(took, 10s);
    // At the end a play without a start plays nothing and succeeds at once.
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, Notify(clip.window.Handle())), 0u);
    EXPECT_EQ(clip.window.WaitNotice(1s), MCI_NOTIFY_SUCCESSFUL);
}

TEST(MciDevice, DestinationScalesThePicturesAndMillisecondsConvert)
{
    Opened clip(Clip::Mpeg2Sound250);
    ASSERT_EQ(Mci::PutDestination(clip.id, MciRect { 0, 0, 768, 514 }, {}), 0u);
    MciFramePtr frame = clip.window.Last();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Pixels().Width(), 768);
    EXPECT_EQ(frame->Pixels().Height(), 514);
    MciRect where {};
    ASSERT_EQ(Mci::Where(clip.id, MciRectKind::Destination, where), 0u);
    EXPECT_EQ(where.right, 768);
    EXPECT_EQ(where.bottom, 514);
    // None: the picture's own size.
    ASSERT_EQ(Mci::PutDestination(clip.id, std::nullopt, {}), 0u);
    ASSERT_EQ(Mci::Where(clip.id, MciRectKind::Destination, where), 0u);
    EXPECT_EQ(where.right, 352);

    ASSERT_EQ(Mci::SetTimeFormat(clip.id, MCI_FORMAT_MILLISECONDS, {}), 0u);
    EXPECT_EQ(Status(clip.id, MciItem::Length), 10000u);
    SeekTo(clip.id, 2000);
    EXPECT_EQ(clip.window.ShownNumber(), 50);
    EXPECT_EQ(Mci::SetTimeFormat(clip.id, MCI_FORMAT_TMSF, {}), MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(Mci::SetDoor(clip.id, true, {}), MCIERR_UNSUPPORTED_FUNCTION);
    EXPECT_EQ(Mci::Seek(clip.id, MciSeek::To, 20000, {}), MCIERR_OUTOFRANGE);
}

// The device prepares each picture at the size the window shows it on the screen, which the window
// tells; a drawing at another size still draws the whole picture.
TEST(MciDevice, PicturesArePreparedAtTheWindowsOwnPixelSize)
{
    std::mutex lock;
    MciFramePtr last;
    MciWindow window = MciCreateWindow({
        .frame = [&](MciFramePtr frame) {
            std::lock_guard guard(lock);
            last = std::move(frame);
        },
        .pixel_scale = [] { return 2.0; },
    });
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Path(Clip::Mpeg1Silent10), id), 0u);
    ASSERT_EQ(Mci::SetWindow(id, window, kWait), 0u);
    ASSERT_EQ(Mci::PutDestination(id, MciRect { 0, 0, 300, 200 }, kWait), 0u);
    ASSERT_EQ(Mci::Seek(id, MciSeek::To, 7, kWait), 0u);
    {
        std::lock_guard guard(lock);
        ASSERT_TRUE(last && last->prepared);
        EXPECT_EQ(last->prepared->width, 600);
        EXPECT_EQ(last->prepared->height, 400);
        EXPECT_EQ(last->width, 300);
        EXPECT_EQ(ClipWriter::ReadFrameNumber(last->Pixels()), 7);
    }
    EXPECT_EQ(Mci::Close(id, kWait), 0u);
    MciDestroyWindow(window);
}

TEST(MciDevice, CloseClearsTheWindowAndAbortsThePlay)
{
    TestWindow window;
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Path(Clip::Mpeg1Sound250), id), 0u);
    ASSERT_EQ(Mci::SetWindow(id, window.Handle(), {}), 0u);
    ASSERT_EQ(Mci::Play(id, {}, {}, Notify(window.Handle())), 0u);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(Mci::Close(id, Notify(window.Handle())), 0u);
    EXPECT_EQ(window.WaitNotice(), MCI_NOTIFY_ABORTED);
    EXPECT_EQ(window.WaitNotice(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_FALSE(window.Last()); // the device's picture is gone
    EXPECT_EQ(Mci::Close(id, kWait), MCIERR_INVALID_DEVICE_ID);
    std::uint32_t mode;
    EXPECT_EQ(Mci::Status(id, MciItem::Mode, mode), MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(Mci::Status(0, MciItem::Mode, mode), MCIERR_INVALID_DEVICE_ID);
}

TEST(MciDevice, AWindowDestroyedWhilePlayingGetsNothingMore)
{
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Path(Clip::Mpeg1Sound250), id), 0u);
    int frames_at_destroy;
    {
        TestWindow window;
        ASSERT_EQ(Mci::SetWindow(id, window.Handle(), {}), 0u);
        ASSERT_EQ(Mci::Play(id, {}, {}, {}), 0u);
        ASSERT_TRUE(WaitForPosition(id, 3));
        frames_at_destroy = window.FrameCount();
        EXPECT_GE(frames_at_destroy, 1);
    }
    std::this_thread::sleep_for(100ms);
    // The device plays on into nothing and still answers.
    EXPECT_TRUE(WaitForPosition(id, 6));
    EXPECT_EQ(Mci::Close(id, kWait), 0u);
}

struct BadFile {
    const char* name;
    std::string (*make)();
    MciError error;
};

class MciRejects : public testing::TestWithParam<BadFile> { };

TEST_P(MciRejects, WithAClearTextAndNothingLeftOpen)
{
    int open_before = MciOpenDeviceCount();
    MciDeviceId id = 77;
    MciError error = OpenFile(GetParam().make(), id);
    EXPECT_EQ(error, GetParam().error);
    char text[256];
    EXPECT_TRUE(MciGetErrorString(error, text, sizeof text));
    EXPECT_GT(std::strlen(text), 20u);
    EXPECT_EQ(MciOpenDeviceCount(), open_before);
}

INSTANTIATE_TEST_SUITE_P(Files, MciRejects,
    testing::Values(BadFile { "Missing", MediaClips::Missing, MCIERR_FILE_NOT_FOUND },
        BadFile { "Empty", MediaClips::Empty, MCIERR_CLIP_EMPTY },
        BadFile { "Text", MediaClips::Text, MCIERR_INVALID_FILE },
        BadFile { "OnlyThePackHeader", [] { return MediaClips::CutAt(Clip::Mpeg1Silent10, 20); }, MCIERR_CLIP_TRUNCATED },
        BadFile { "UnknownType", [] { return (MediaClips::Folder() / "clip.xyz").string(); }, MCIERR_EXTENSION_NOT_FOUND }),
    [](const auto& info) { return std::string(info.param.name); });

// A clip cut short plays the pictures it holds: its length is what the data holds, and at its end
// the last of them stays in the window.
TEST(MciDevice, ACutClipPlaysWhatItHolds)
{
    TestWindow window;
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Truncated(), id), 0u);
    ASSERT_EQ(Mci::SetWindow(id, window.Handle(), {}), 0u);
    // A seek waits for the count of the pictures, which the device makes while the clip opens.
    ASSERT_EQ(Mci::Seek(id, MciSeek::ToEnd, 0, kWait), 0u);
    std::uint32_t length = Status(id, MciItem::Length);
    EXPECT_GT(length, 130u); // 60 % of 250 pictures, give or take the sound's share of the bytes
    EXPECT_LT(length, 170u);
    ASSERT_EQ(Mci::Seek(id, MciSeek::To, length - 20, kWait), 0u);
    EXPECT_EQ(window.ShownNumber(), int(length) - 20);
    ASSERT_EQ(Mci::Play(id, {}, {}, Notify(window.Handle())), 0u);
    EXPECT_EQ(window.WaitNotice(10s), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(id, MciItem::Position), length);
    EXPECT_EQ(Status(id, MciItem::Mode), MCI_MODE_STOP);
    // The last picture is the one the cut goes through: only its top is whole.
    ASSERT_TRUE(window.Last());
    EXPECT_EQ(window.Last()->index, int(length) - 1);
    EXPECT_EQ(ClipWriter::ReadFrameNumber(window.Last()->Pixels()) >> 4, (int(length) - 1) >> 4);
    ASSERT_EQ(Mci::Seek(id, MciSeek::To, length - 2, kWait), 0u);
    EXPECT_EQ(window.ShownNumber(), int(length) - 2);
    EXPECT_EQ(Mci::Close(id, kWait), 0u);
}

// Sound without pictures plays for its length, counted in pictures of 40 ms; the window is given
// nothing to show.
TEST(MciDevice, SoundAlonePlaysForItsLength)
{
    TestWindow window;
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Sound(), id), 0u); // a second of sound named .mpg
    ASSERT_EQ(Mci::SetWindow(id, window.Handle(), {}), 0u);
    EXPECT_EQ(Status(id, MciItem::Length), 25u);
    std::uint32_t has_video = 0, has_audio = 0;
    EXPECT_EQ(Mci::Capability(id, MciCapability::HasVideo, has_video), 0u);
    EXPECT_EQ(Mci::Capability(id, MciCapability::HasAudio, has_audio), 0u);
    EXPECT_EQ(has_video, 1u);
    EXPECT_EQ(has_audio, 1u);
    StepBy(id, 10, false);
    EXPECT_EQ(Status(id, MciItem::Position), 10u);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Mci::Play(id, 0u, {}, Notify(window.Handle())), 0u);
    EXPECT_TRUE(WaitForPosition(id, 12));
    EXPECT_EQ(window.WaitNotice(10s), MCI_NOTIFY_SUCCESSFUL);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 950ms);
    EXPECT_LT(took, 5s);
    EXPECT_EQ(Status(id, MciItem::Position), 25u);
    EXPECT_EQ(window.FrameCount(), 0);
    MciPlaybackStats stats;
    ASSERT_TRUE(MciGetPlaybackStats(id, stats));
    EXPECT_TRUE(stats.has_audio);
    EXPECT_EQ(Mci::Close(id, kWait), 0u);
}

TEST(MciDevice, ACorruptClipPlaysThroughTheDamageAndStopsCleanly)
{
    TestWindow window;
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Corrupt(), id), 0u);
    ASSERT_EQ(Mci::SetWindow(id, window.Handle(), {}), 0u);
    ASSERT_EQ(Mci::Seek(id, MciSeek::ToEnd, 0, kWait), 0u);
    std::uint32_t length = Status(id, MciItem::Length);
    EXPECT_GT(length, 200u);
    EXPECT_LE(length, 250u);
    // Seek across the damage both ways, then play through it.
    for (std::uint32_t to : { 120u, 80u, 200u, 100u }) {
        EXPECT_EQ(Mci::Seek(id, MciSeek::To, to, {}), 0u);
        EXPECT_EQ(Status(id, MciItem::Position), to);
    }
    // Through the damage (a third into the file), then the clip's own last pictures.
    ASSERT_EQ(Mci::Play(id, 70u, 110u, Notify(window.Handle())), 0u);
    EXPECT_EQ(window.WaitNotice(15s), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(id, MciItem::Position), 110u);
    ASSERT_EQ(Mci::Play(id, length - 5, {}, Notify(window.Handle())), 0u);
    EXPECT_EQ(window.WaitNotice(15s), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(id, MciItem::Position), length);
    EXPECT_EQ(window.ShownNumber(), 249);
    EXPECT_EQ(Mci::Close(id, kWait), 0u);
}

// Every cut of a short clip either fails to open with a clear error or opens and plays to a clean
// stop where the data ends; none leaves a device open after its close.
TEST(MciDevice, EveryCutOfAClipFailsCleanlyOrPlaysToTheCut)
{
    auto size = std::filesystem::file_size(MediaClips::Path(Clip::Mpeg1Sound10));
    int opened = 0;
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut < size; cut += std::max<std::size_t>(1, size / 23))
        cuts.push_back(cut);
    for (std::size_t pack = 2048; pack < size; pack += 2048 * std::max<std::size_t>(1, size / 2048 / 8))
        cuts.push_back(pack); // between packs: nothing tells the file was longer
    cuts.push_back(size);
    for (std::size_t cut : cuts) {
        TestWindow window;
        MciDeviceId id;
        MciError error = OpenFile(MediaClips::CutAt(Clip::Mpeg1Sound10, cut), id);
        if (error) {
            char text[256];
            EXPECT_TRUE(MciGetErrorString(error, text, sizeof text)) << cut;
            EXPECT_EQ(MciOpenDeviceCount(), 0) << cut;
            continue;
        }
        ++opened;
        // The last pictures, up to the cut (the seek waits for the count of pictures).
        ASSERT_EQ(Mci::Seek(id, MciSeek::ToEnd, 0, kWait), 0u);
        std::uint32_t length = Status(id, MciItem::Length);
        EXPECT_LE(length, 10u) << cut;
        ASSERT_EQ(Mci::Play(id, length > 3 ? length - 3 : 0, {}, Notify(window.Handle())), 0u);
        std::uint32_t code = window.WaitNotice(10s);
        EXPECT_TRUE(code == MCI_NOTIFY_SUCCESSFUL || code == MCI_NOTIFY_FAILURE) << cut << ": " << code;
        EXPECT_EQ(Status(id, MciItem::Position), length) << cut;
        EXPECT_EQ(Mci::Close(id, {}), 0u);
    }
    EXPECT_GT(opened, 20); // everything from the first whole picture on plays
    EXPECT_EQ(MciOpenDeviceCount(), 0);
}

// Sound that changes its channel count mid-stream (a spliced or damaged file) must not upset the
// resampler: the clip plays to its end.
TEST(MciDevice, SoundThatChangesItsFormatPlaysOn)
{
    Opened clip(Clip::Mpeg1SoundTurnsMono);
    ASSERT_EQ(Mci::Play(clip.id, {}, {}, Notify(clip.window.Handle())), 0u);
    EXPECT_EQ(clip.window.WaitNotice(10s), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(clip.id, MciItem::Position), 25u);
    EXPECT_EQ(Mci::Seek(clip.id, MciSeek::To, 20, {}), 0u);
    EXPECT_EQ(clip.window.ShownNumber(), 20);
}

TEST(MciErrorText, EveryCodeHasATextAndTheLookUpFailsCleanly)
{
    char text[4096];
    for (MciError code : { MCIERR_INVALID_DEVICE_ID, MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE, MCIERR_OUTOFRANGE,
             MCIERR_UNSUPPORTED_FUNCTION, MCIERR_EXTENSION_NOT_FOUND, MCIERR_CLIP_TRUNCATED }) {
        EXPECT_TRUE(MciGetErrorString(code, text, sizeof text)) << code;
        EXPECT_GT(std::strlen(text), 10u);
    }
    EXPECT_FALSE(MciGetErrorString(12345, text, sizeof text));
    EXPECT_STREQ(text, "");
    char small[8];
    EXPECT_TRUE(MciGetErrorString(MCIERR_FILE_NOT_FOUND, small, sizeof small));
    EXPECT_EQ(std::strlen(small), 7u);
    EXPECT_FALSE(MciGetErrorString(MCIERR_FILE_NOT_FOUND, small, 0));
}

TEST(MciDevice, OpenByTypeAndBadCommands)
{
    std::string file = MediaClips::Path(Clip::Mpeg1Silent10);
    MciDeviceId id = 0;
    EXPECT_EQ(Mci::Open({ "cdaudio", "", false }, kWait, id), MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(Mci::Open({ "MPEGVideo", "", false }, kWait, id), MCIERR_FILENAME_REQUIRED);
    EXPECT_EQ(Mci::Open({ "", "", false }, kWait, id), MCIERR_MISSING_DEVICE_NAME);
    ASSERT_EQ(Mci::Open({ "MPEGVideo", file, false }, kWait, id), 0u);
    EXPECT_NE(id, 0);
    EXPECT_EQ(Mci::Record(id, {}, {}, {}), MCIERR_UNSUPPORTED_FUNCTION);
    EXPECT_EQ(Mci::SetWindow(id, 0x7FFFFFFF, {}), MCIERR_NO_WINDOW);
    EXPECT_EQ(Mci::PutDestination(id, MciRect { 0, 0, -5, 10 }, {}), MCIERR_OUTOFRANGE);
    EXPECT_EQ(Mci::Play(id, 8u, 3u, {}), MCIERR_OUTOFRANGE);
    EXPECT_EQ(Mci::Play(id, 11u, {}, {}), MCIERR_OUTOFRANGE);
    EXPECT_EQ(Mci::Close(id, {}), 0u);
}

} // namespace

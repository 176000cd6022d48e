#include "MediaClips.h"

#include "platform/media/Mci.h"

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
            [this](std::uint32_t code, MciDeviceId) {
                std::lock_guard guard(m_lock);
                m_notices.push_back(code);
                m_changed.notify_all();
            },
            [this](MciFramePtr frame) {
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

MciError OpenFile(const std::string& file, MciDeviceId& id)
{
    MCI_OPEN_PARMS open {};
    open.lpstrElementName = file.c_str();
    MciError result = MciSendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &open);
    id = MciDeviceId(open.wDeviceID);
    return result;
}

std::uint32_t Status(MciDeviceId id, std::uint32_t item)
{
    MCI_STATUS_PARMS status {};
    status.dwItem = item;
    EXPECT_EQ(MciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status), 0u);
    return std::uint32_t(status.dwReturn);
}

// Waits (the machine may be busy) until playback has reached `position`.
bool WaitForPosition(MciDeviceId id, std::uint32_t position, std::chrono::milliseconds limit = 10s)
{
    auto end = std::chrono::steady_clock::now() + limit;
    while (Status(id, MCI_STATUS_POSITION) < position) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

void SeekTo(MciDeviceId id, std::uint32_t position)
{
    MCI_SEEK_PARMS seek {};
    seek.dwTo = position;
    ASSERT_EQ(MciSendCommand(id, MCI_SEEK, MCI_TO | MCI_WAIT, &seek), 0u);
}

void StepBy(MciDeviceId id, std::uint32_t frames, bool reverse)
{
    MCI_DGV_STEP_PARMS step {};
    step.dwFrames = frames;
    ASSERT_EQ(MciSendCommand(id, MCI_STEP, MCI_WAIT | MCI_DGV_STEP_FRAMES | (reverse ? MCI_DGV_STEP_REVERSE : 0), &step), 0u);
}

// An open clip shown in a window at its own size.
struct Opened {
    explicit Opened(Clip clip)
    {
        EXPECT_EQ(OpenFile(MediaClips::Path(clip), id), 0u);
        MCI_DGV_WINDOW_PARMS window_parms {};
        window_parms.hWnd = window.Handle();
        EXPECT_EQ(MciSendCommand(id, MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &window_parms), 0u);
    }
    ~Opened() { MciSendCommand(id, MCI_CLOSE, MCI_WAIT, nullptr); }
    TestWindow window;
    MciDeviceId id { 0 };
};

class MciClip : public testing::TestWithParam<Clip> { };

std::string ClipName(Clip clip)
{
    const char* names[] = { "Mpeg1Sound250", "Mpeg1Silent10", "Mpeg2Sound250", "Mpeg2Silent10", "Mpeg1Sound10", "Mpeg2BFrames250" };
    return names[int(clip)];
}

TEST_P(MciClip, OpensWithItsLengthSizeAndCapabilities)
{
    Opened clip(GetParam());
    EXPECT_EQ(Status(clip.id, MCI_STATUS_LENGTH), std::uint32_t(MediaClips::Frames(GetParam())));
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), 0u);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_MODE), MCI_MODE_STOP);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_TIME_FORMAT), MCI_FORMAT_FRAMES);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_NUMBER_OF_TRACKS), 1u);

    MCI_DGV_RECT_PARMS where {};
    ASSERT_EQ(MciSendCommand(clip.id, MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT, &where), 0u);
    EXPECT_EQ(where.rc.right - where.rc.left, 352);
    EXPECT_EQ(where.rc.bottom - where.rc.top, 288);

    auto caps = [&](std::uint32_t item) {
        MCI_GETDEVCAPS_PARMS parms {};
        parms.dwItem = item;
        EXPECT_EQ(MciSendCommand(clip.id, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, &parms), 0u);
        return parms.dwReturn;
    };
    EXPECT_EQ(caps(MCI_GETDEVCAPS_CAN_PLAY), 1u);
    EXPECT_EQ(caps(MCI_GETDEVCAPS_CAN_RECORD), 0u);
    EXPECT_EQ(caps(MCI_GETDEVCAPS_CAN_EJECT), 0u);
    EXPECT_EQ(caps(MCI_GETDEVCAPS_HAS_VIDEO), 1u);
    EXPECT_EQ(caps(MCI_GETDEVCAPS_DEVICE_TYPE), MCI_DEVTYPE_DIGITAL_VIDEO);
    // The window got the first picture as soon as it was named.
    EXPECT_EQ(clip.window.ShownNumber(), 0);
}

TEST_P(MciClip, SeeksAndStepsShowTheFrameOfTheNewPosition)
{
    Opened clip(GetParam());
    int length = MediaClips::Frames(GetParam());
    int step = length / 10;
    SeekTo(clip.id, std::uint32_t(length / 2));
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), std::uint32_t(length / 2));
    EXPECT_EQ(clip.window.ShownNumber(), length / 2);
    StepBy(clip.id, std::uint32_t(step), false);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), std::uint32_t(length / 2 + step));
    EXPECT_EQ(clip.window.ShownNumber(), length / 2 + step);
    StepBy(clip.id, std::uint32_t(2 * step), true);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), std::uint32_t(length / 2 - step));
    EXPECT_EQ(clip.window.ShownNumber(), length / 2 - step);
    // Steps stop at both ends; at the end the last picture shows.
    StepBy(clip.id, std::uint32_t(length * 3), false);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), std::uint32_t(length));
    EXPECT_EQ(clip.window.ShownNumber(), length - 1);
    StepBy(clip.id, std::uint32_t(length * 3), true);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), 0u);
    EXPECT_EQ(clip.window.ShownNumber(), 0);
    ASSERT_EQ(MciSendCommand(clip.id, MCI_SEEK, MCI_SEEK_TO_END | MCI_WAIT, nullptr), 0u);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), std::uint32_t(length));
    EXPECT_EQ(clip.window.ShownNumber(), length - 1);
    ASSERT_EQ(MciSendCommand(clip.id, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, nullptr), 0u);
    EXPECT_EQ(clip.window.ShownNumber(), 0);
}

TEST_P(MciClip, PlaysToTheEndAndNotifiesSuccess)
{
    Opened clip(GetParam());
    int length = MediaClips::Frames(GetParam());
    SeekTo(clip.id, std::uint32_t(std::max(0, length - 12)));
    MCI_PLAY_PARMS play {};
    play.dwCallback = clip.window.Handle();
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_MODE), MCI_MODE_PLAY);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_MODE), MCI_MODE_STOP);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), std::uint32_t(length));
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
    MCI_PLAY_PARMS play {};
    play.dwCallback = clip.window.Handle();
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
    ASSERT_TRUE(WaitForPosition(clip.id, 5));
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PAUSE, MCI_WAIT, nullptr), 0u);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_ABORTED); // the play will not finish as asked
    EXPECT_EQ(Status(clip.id, MCI_STATUS_MODE), MCI_MODE_PAUSE);
    std::uint32_t paused_at = Status(clip.id, MCI_STATUS_POSITION);
    EXPECT_GE(paused_at, 5u);
    EXPECT_LT(paused_at, 250u);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), paused_at);
    EXPECT_EQ(clip.window.ShownNumber(), int(paused_at));

    MCI_GENERIC_PARMS resume { clip.window.Handle() };
    ASSERT_EQ(MciSendCommand(clip.id, MCI_RESUME, MCI_NOTIFY, &resume), 0u);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_MODE), MCI_MODE_PLAY);
    EXPECT_TRUE(WaitForPosition(clip.id, paused_at + 2));
    ASSERT_EQ(MciSendCommand(clip.id, MCI_STOP, MCI_WAIT, nullptr), 0u);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_ABORTED);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_MODE), MCI_MODE_STOP);
    // Resume applies only to a paused device.
    EXPECT_EQ(MciSendCommand(clip.id, MCI_RESUME, MCI_WAIT, nullptr), MCIERR_NONAPPLICABLE_FUNCTION);
}

TEST(MciDevice, ANewPlayWithNoticeSupersedesThePendingOne)
{
    Opened clip(Clip::Mpeg1Silent10);
    MCI_PLAY_PARMS play {};
    play.dwCallback = clip.window.Handle();
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
    play.dwFrom = 0;
    play.dwTo = 5;
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO, &play), 0u);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_SUPERSEDED);
    EXPECT_EQ(clip.window.WaitNotice(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), 5u);
    EXPECT_EQ(clip.window.ShownNumber(), 4);
}

TEST(MciDevice, PlayWithWaitReturnsAtTheEnd)
{
    Opened clip(Clip::Mpeg1Sound10);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_WAIT, nullptr), 0u);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), 10u);
    EXPECT_GE(took, 390ms); // 10 pictures of 40 ms, none before its time
    EXPECT_LT(took, 10s);
    // At the end a play without a start plays nothing and succeeds at once.
    MCI_PLAY_PARMS play { clip.window.Handle(), 0, 0 };
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
    EXPECT_EQ(clip.window.WaitNotice(1s), MCI_NOTIFY_SUCCESSFUL);
}

TEST(MciDevice, DestinationScalesThePicturesAndMillisecondsConvert)
{
    Opened clip(Clip::Mpeg2Sound250);
    MCI_DGV_RECT_PARMS put {};
    put.rc = { 0, 0, 768, 514 };
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &put), 0u);
    MciFramePtr frame = clip.window.Last();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Pixels().Width(), 768);
    EXPECT_EQ(frame->Pixels().Height(), 514);
    MCI_DGV_RECT_PARMS where {};
    ASSERT_EQ(MciSendCommand(clip.id, MCI_WHERE, MCI_DGV_WHERE_DESTINATION, &where), 0u);
    EXPECT_EQ(where.rc.right, 768);
    EXPECT_EQ(where.rc.bottom, 514);

    MCI_SET_PARMS set {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    ASSERT_EQ(MciSendCommand(clip.id, MCI_SET, MCI_SET_TIME_FORMAT, &set), 0u);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_LENGTH), 10000u);
    SeekTo(clip.id, 2000);
    EXPECT_EQ(clip.window.ShownNumber(), 50);
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    EXPECT_EQ(MciSendCommand(clip.id, MCI_SET, MCI_SET_TIME_FORMAT, &set), MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(MciSendCommand(clip.id, MCI_SET, MCI_SET_DOOR_OPEN, &set), MCIERR_UNSUPPORTED_FUNCTION);
    MCI_SEEK_PARMS seek {};
    seek.dwTo = 20000;
    EXPECT_EQ(MciSendCommand(clip.id, MCI_SEEK, MCI_TO, &seek), MCIERR_OUTOFRANGE);
}

TEST(MciDevice, CloseClearsTheWindowAndAbortsThePlay)
{
    TestWindow window;
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Path(Clip::Mpeg1Sound250), id), 0u);
    MCI_DGV_WINDOW_PARMS window_parms {};
    window_parms.hWnd = window.Handle();
    ASSERT_EQ(MciSendCommand(id, MCI_WINDOW, MCI_DGV_WINDOW_HWND, &window_parms), 0u);
    MCI_PLAY_PARMS play { window.Handle(), 0, 0 };
    ASSERT_EQ(MciSendCommand(id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
    std::this_thread::sleep_for(100ms);
    MCI_GENERIC_PARMS close { window.Handle() };
    ASSERT_EQ(MciSendCommand(id, MCI_CLOSE, MCI_NOTIFY, &close), 0u);
    EXPECT_EQ(window.WaitNotice(), MCI_NOTIFY_ABORTED);
    EXPECT_EQ(window.WaitNotice(), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_FALSE(window.Last()); // the device's picture is gone
    EXPECT_EQ(MciSendCommand(id, MCI_CLOSE, MCI_WAIT, nullptr), MCIERR_INVALID_DEVICE_ID);
    MCI_STATUS_PARMS status { 0, 0, MCI_STATUS_MODE, 0 };
    EXPECT_EQ(MciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, &status), MCIERR_INVALID_DEVICE_ID);
    EXPECT_EQ(MciSendCommand(0, MCI_STATUS, MCI_STATUS_ITEM, &status), MCIERR_INVALID_DEVICE_ID);
}

TEST(MciDevice, AWindowDestroyedWhilePlayingGetsNothingMore)
{
    MciDeviceId id;
    ASSERT_EQ(OpenFile(MediaClips::Path(Clip::Mpeg1Sound250), id), 0u);
    int frames_at_destroy;
    {
        TestWindow window;
        MCI_DGV_WINDOW_PARMS window_parms {};
        window_parms.hWnd = window.Handle();
        ASSERT_EQ(MciSendCommand(id, MCI_WINDOW, MCI_DGV_WINDOW_HWND, &window_parms), 0u);
        ASSERT_EQ(MciSendCommand(id, MCI_PLAY, 0, nullptr), 0u);
        ASSERT_TRUE(WaitForPosition(id, 3));
        frames_at_destroy = window.FrameCount();
        EXPECT_GE(frames_at_destroy, 1);
    }
    std::this_thread::sleep_for(100ms);
    // The device plays on into nothing and still answers.
    EXPECT_TRUE(WaitForPosition(id, 6));
    EXPECT_EQ(MciSendCommand(id, MCI_CLOSE, MCI_WAIT, nullptr), 0u);
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
        BadFile { "Truncated", MediaClips::Truncated, MCIERR_CLIP_TRUNCATED },
        BadFile { "OnlyTheHeader", MediaClips::Header, MCIERR_CLIP_TRUNCATED },
        BadFile { "SoundNamedMpg", MediaClips::Sound, MCIERR_INVALID_FILE },
        BadFile { "UnknownType", [] { return (MediaClips::Folder() / "clip.xyz").string(); }, MCIERR_EXTENSION_NOT_FOUND }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MciDevice, ACorruptClipPlaysToTheDamageAndStopsCleanly)
{
    TestWindow window;
    MciDeviceId id;
    MciError error = OpenFile(MediaClips::Corrupt(), id);
    if (error) {
        EXPECT_EQ(MciOpenDeviceCount(), 0);
        return;
    }
    MCI_DGV_WINDOW_PARMS window_parms {};
    window_parms.hWnd = window.Handle();
    ASSERT_EQ(MciSendCommand(id, MCI_WINDOW, MCI_DGV_WINDOW_HWND, &window_parms), 0u);
    // Seek across the damage both ways, then play through it.
    for (std::uint32_t to : { 120u, 80u, 200u, 100u }) {
        MCI_SEEK_PARMS seek { 0, to };
        EXPECT_EQ(MciSendCommand(id, MCI_SEEK, MCI_TO, &seek), 0u);
    }
    MCI_PLAY_PARMS play { window.Handle(), 60, 0 };
    ASSERT_EQ(MciSendCommand(id, MCI_PLAY, MCI_NOTIFY | MCI_FROM, &play), 0u);
    std::uint32_t code = window.WaitNotice(15s);
    EXPECT_TRUE(code == MCI_NOTIFY_SUCCESSFUL || code == MCI_NOTIFY_FAILURE) << code;
    EXPECT_EQ(MciSendCommand(id, MCI_CLOSE, MCI_WAIT, nullptr), 0u);
}

// Every cut of a short clip either fails to open with a clear error or opens and plays to a clean
// stop where the data ends; none leaves a device open after its close.
TEST(MciDevice, EveryCutOfAClipFailsCleanlyOrPlaysToTheCut)
{
    auto size = std::filesystem::file_size(MediaClips::Path(Clip::Mpeg1Sound10));
    int opened = 0;
    int refused = 0;
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 0; cut < size; cut += std::max<std::size_t>(1, size / 37))
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
            ++refused;
            continue;
        }
        ++opened;
        MCI_PLAY_PARMS play { window.Handle(), 0, 0 };
        ASSERT_EQ(MciSendCommand(id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
        std::uint32_t code = window.WaitNotice(10s);
        EXPECT_TRUE(code == MCI_NOTIFY_SUCCESSFUL || code == MCI_NOTIFY_FAILURE) << cut << ": " << code;
        EXPECT_EQ(MciSendCommand(id, MCI_CLOSE, 0, nullptr), 0u);
    }
    EXPECT_GT(refused, 30); // a cut inside a packet is found at open
    EXPECT_GE(opened, 2);   // the whole file, and cuts between packs
    EXPECT_EQ(MciOpenDeviceCount(), 0);
}

// Sound that changes its channel count mid-stream (a spliced or damaged file) must not upset the
// resampler: the clip plays to its end.
TEST(MciDevice, SoundThatChangesItsFormatPlaysOn)
{
    Opened clip(Clip::Mpeg1SoundTurnsMono);
    MCI_PLAY_PARMS play { clip.window.Handle(), 0, 0 };
    ASSERT_EQ(MciSendCommand(clip.id, MCI_PLAY, MCI_NOTIFY, &play), 0u);
    EXPECT_EQ(clip.window.WaitNotice(10s), MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(Status(clip.id, MCI_STATUS_POSITION), 25u);
    MCI_SEEK_PARMS seek { 0, 20 };
    EXPECT_EQ(MciSendCommand(clip.id, MCI_SEEK, MCI_TO, &seek), 0u);
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
    MCI_OPEN_PARMS open {};
    open.lpstrDeviceType = "cdaudio";
    EXPECT_EQ(MciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), MCIERR_INVALID_DEVICE_NAME);
    open.lpstrDeviceType = "MPEGVideo";
    EXPECT_EQ(MciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open), MCIERR_FILENAME_REQUIRED);
    open.lpstrElementName = file.c_str();
    ASSERT_EQ(MciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, &open), 0u);
    MciDeviceId id = MciDeviceId(open.wDeviceID);
    EXPECT_NE(id, 0);
    EXPECT_EQ(MciSendCommand(id, 0x999, 0, nullptr), MCIERR_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(MciSendCommand(id, MCI_STATUS, MCI_STATUS_ITEM, nullptr), MCIERR_NULL_PARAMETER_BLOCK);
    EXPECT_EQ(MciSendCommand(id, MCI_SEEK, 0, nullptr), MCIERR_MISSING_PARAMETER);
    EXPECT_EQ(MciSendCommand(id, MCI_SEEK, MCI_SEEK_TO_START | MCI_SEEK_TO_END, nullptr), MCIERR_FLAGS_NOT_COMPATIBLE);
    EXPECT_EQ(MciSendCommand(id, MCI_RECORD, 0, nullptr), MCIERR_UNSUPPORTED_FUNCTION);
    MCI_DGV_WINDOW_PARMS window {};
    window.hWnd = 0x7FFFFFFF;
    EXPECT_EQ(MciSendCommand(id, MCI_WINDOW, MCI_DGV_WINDOW_HWND, &window), MCIERR_NO_WINDOW);
    MCI_DGV_RECT_PARMS put {};
    put.rc = { 0, 0, -5, 10 };
    EXPECT_EQ(MciSendCommand(id, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, &put), MCIERR_OUTOFRANGE);
    MCI_PLAY_PARMS play { 0, 8, 3 };
    EXPECT_EQ(MciSendCommand(id, MCI_PLAY, MCI_FROM | MCI_TO, &play), MCIERR_OUTOFRANGE);
    EXPECT_EQ(MciSendCommand(id, MCI_CLOSE, 0, nullptr), 0u);
}

} // namespace

// Clips of every common kind, made with the ffmpeg program, played through the window as a user
// plays them: the Video tab, Enter on the first entry, the transport buttons. What the window shows
// is held against FFmpeg's own decode of the same clip.
#include "ClipCorpus.h"

#include "media/TMediaPlayer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

using namespace ClipCorpus;
using testing::IsEmpty;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kMostDifference = 3.0; // per channel, mean over the display
constexpr Pixel kDisplayColour = 0xA0AAB4; // red 160, green 170, blue 180

double Since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The length a clip must have: the pictures FFmpeg decodes from it, except where the container's
// own list of pictures says more and the device keeps to that list.
struct ListedCount {
    const char* clip;
    const char* why;
};
constexpr ListedCount kListed[] = {
    // The damage falls inside a picture whose place the MP4 file's index still lists; the decoder
    // gets nothing out of it. The place keeps its number and its time, showing the picture before.
    { "mp4-h264-damaged", "the index lists a picture the decoder cannot decode" },
};

int ExpectedLength(const Clip& clip)
{
    for (const ListedCount& listed : kListed) {
        if (clip.name == listed.clip)
            return clip.packets;
    }
    return clip.pictures;
}

// The Video tab, then Enter on the first entry of the list: the clip opens and plays.
void OpenFirstEntry(Window& window)
{
    window.Execute("click 694 87");
    window.Execute("key Enter");
}

// Waits until the display has been handed picture `index` of the clip, then returns what it shows.
std::vector<std::uint8_t> DisplayOf(Window& window, int index)
{
    TAnimate* video = window.Form().Video;
    bool shown = window.RunUntil([&] { return video->Picture() && video->Picture()->index == index; }, 10);
    EXPECT_TRUE(shown) << "picture " << index;
    return window.Display();
}

class CorpusClip : public testing::TestWithParam<Clip> { };

TEST_P(CorpusClip, PlaysThroughTheWindow)
{
    const Clip& clip = GetParam();
    Window window({ clip.file });
    TMediaPlayer* player = window.Form().MediaPlayer;
    OpenFirstEntry(window);
    Clock::time_point started = Clock::now();
    ASSERT_THAT(window.Errors(), IsEmpty());
    ASSERT_TRUE(player->IsOpen());
    EXPECT_EQ(player->Mode(), dmPlaying);

    // Halfway through, the position is about half the length (measured against the time it is
    // read at, which a busy machine may make later than asked).
    double playing = clip.sound_only ? clip.sound_seconds : clip.video_seconds;
    if (playing >= 1.0) {
        window.RunUntil([] { return false; }, playing / 2 - Since(started));
        double at = Since(started);
        int position = player->Position();
        double expected = ExpectedLength(clip) * std::min(1.0, at / playing);
        EXPECT_NEAR(position, expected, 3 + 0.1 * ExpectedLength(clip)) << "at " << at << " s";
    }

    double lasts = std::max(clip.video_seconds, clip.sound_seconds);
    ASSERT_TRUE(window.RunUntil([&] { return player->Mode() == dmStopped; }, lasts + 20)) << ModeName(player->Mode());
    double took = Since(started);
    EXPECT_EQ(player->Length(), ExpectedLength(clip));
    EXPECT_EQ(player->Position(), player->Length());
    EXPECT_THAT(window.Errors(), IsEmpty());

    std::vector<std::uint8_t> shown = window.Display();
    if (clip.sound_only) {
        // The sound is heard to its end; the display keeps its colour.
        EXPECT_GE(took, clip.sound_seconds - 0.1);
        EXPECT_LT(took, clip.sound_seconds + 2.0);
        std::vector<std::uint8_t> plain;
        for (std::size_t i = 0; i < shown.size(); i += 4)
            plain.insert(plain.end(), { std::uint8_t(kDisplayColour), std::uint8_t(kDisplayColour >> 8), std::uint8_t(kDisplayColour >> 16), 0xFF });
        EXPECT_EQ(shown, plain);
        return;
    }
    // The last picture stays, as FFmpeg decodes it.
    EXPECT_LT(MeanAbsoluteDifference(shown, clip.LastPicture()), kMostDifference);
    // Sound that outlasts the pictures is heard to its end.
    if (clip.sound_seconds > clip.video_seconds + 0.2) {
        EXPECT_GE(took, clip.sound_seconds - 0.1);
    }
}

std::vector<Clip> VideoClips()
{
    std::vector<Clip> chosen;
    for (const Clip& clip : Clips()) {
        bool whole = clip.name.find("-cut") == std::string::npos && clip.name.find("-damaged") == std::string::npos;
        if (!clip.sound_only && whole && clip.pictures >= 10)
            chosen.push_back(clip);
    }
    return chosen;
}

class CorpusVideo : public testing::TestWithParam<Clip> { };

// Forward and backward one picture at a time over the first ten, paused: each picture as FFmpeg
// decodes it.
TEST_P(CorpusVideo, StepsAndBacksThroughTheFirstTenPictures)
{
    const Clip& clip = GetParam();
    Window window({ clip.file });
    TMediaPlayer* player = window.Form().MediaPlayer;
    OpenFirstEntry(window);
    window.ClickControl(window.Form().ImagePause);
    ASSERT_EQ(player->Mode(), dmPaused);
    player->SetStepFrames(1);
    player->SetPosition(0);
    EXPECT_LT(MeanAbsoluteDifference(DisplayOf(window, 0), clip.FirstPicture(0)), kMostDifference);
    for (int i = 1; i < 10; ++i) {
        window.ClickControl(window.Form().ImageForward);
        ASSERT_EQ(player->Position(), i);
        EXPECT_LT(MeanAbsoluteDifference(DisplayOf(window, i), clip.FirstPicture(i)), kMostDifference) << "forward to " << i;
    }
    for (int i = 8; i >= 0; --i) {
        window.ClickControl(window.Form().ImageBackward);
        ASSERT_EQ(player->Position(), i);
        EXPECT_LT(MeanAbsoluteDifference(DisplayOf(window, i), clip.FirstPicture(i)), kMostDifference) << "back to " << i;
    }
    EXPECT_THAT(window.Errors(), IsEmpty());
}

// A clip of limited-range samples shown after one of full-range samples of the same size is drawn
// exactly as when it is shown first.
TEST(CorpusRange, ALimitedRangeClipAfterAFullRangeOneIsDrawnAsIfFirst)
{
    const Clip* limited = Find("mpeg1");
    ASSERT_TRUE(limited && Find("avi-mjpeg"));
    auto show_fifth = [](Window& window) {
        window.ClickControl(window.Form().ImagePause);
        window.Form().MediaPlayer->SetPosition(5);
        return DisplayOf(window, 5);
    };
    std::vector<std::uint8_t> first;
    {
        Window window({ "mpeg1.mpg" });
        OpenFirstEntry(window);
        first = show_fifth(window);
    }
    Window window({ "avi-mjpeg.avi", "mpeg1.mpg" });
    OpenFirstEntry(window);
    show_fifth(window);
    window.Execute("key Down");
    window.Execute("key Enter");
    ASSERT_EQ(window.Form().MediaPlayer->FileName(), "Video\\2002_48.mpg");
    std::vector<std::uint8_t> after = show_fifth(window);
    EXPECT_EQ(after, first);
    EXPECT_LT(MeanAbsoluteDifference(after, limited->FirstPicture(5)), kMostDifference);
    EXPECT_THAT(window.Errors(), IsEmpty());
}

std::string NameOf(const testing::TestParamInfo<Clip>& info)
{
    std::string name = info.param.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusClip, testing::ValuesIn(Clips()), NameOf);
INSTANTIATE_TEST_SUITE_P(Corpus, CorpusVideo, testing::ValuesIn(VideoClips()), NameOf);

TEST(Corpus, IsThere)
{
    EXPECT_GE(Clips().size(), 28u) << "the corpus in " << Folder() << " is missing: make_corpus.sh writes it";
}

} // namespace

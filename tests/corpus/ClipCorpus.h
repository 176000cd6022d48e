#pragma once

#include "Harness.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The clip corpus that make_corpus.sh writes with the ffmpeg program, with what FFmpeg's own tools
// make of each clip, and the window of the program playing a clip of it as the first entry of the
// Video list.
namespace ClipCorpus {

struct Clip {
    std::string name;
    std::string file;
    bool sound_only { false };
    int pictures { 0 };        // as ffprobe -count_frames counts them
    double video_seconds { 0 }; // from the first picture's time to the last one's end
    double sound_seconds { 0 };
    int packets { 0 };         // the video packets FFmpeg's demuxer reads

    // FFmpeg's decode of picture `index` of the first ten, or of the last picture, scaled to
    // 768 x 514, as BGRA.
    std::vector<std::uint8_t> FirstPicture(int index) const;
    std::vector<std::uint8_t> LastPicture() const;
};

const std::filesystem::path& Folder();
// Every clip of the corpus; empty when it has not been written.
const std::vector<Clip>& Clips();
const Clip* Find(const std::string& name);

// The window on a disc whose Video folder holds the given files under the names of the list's
// first entries, the rest of the disc being the corpus's small sample disc. The current directory
// is restored when it goes.
class Window {
public:
    explicit Window(const std::vector<std::string>& files);
    ~Window();

    Harness& harness() { return *m_harness; }
    TVelmarForm& Form() { return m_harness->Form(); }
    void Execute(const std::string& command);
    void ClickControl(TControl* control);
    // Runs the message loop until `done` holds; false when `limit` passes first.
    template<typename Condition>
    bool RunUntil(Condition done, double limit_seconds);
    std::vector<std::string> Errors();
    // What the display window `Video` shows, as BGRA bytes of its 768 x 514 pixels.
    std::vector<std::uint8_t> Display();

private:
    std::filesystem::path m_disc;
    std::filesystem::path m_old;
    std::unique_ptr<Harness> m_harness;
};

// The largest of the mean absolute differences per colour channel between two BGRA pictures of
// the same size.
double MeanAbsoluteDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

template<typename Condition>
bool Window::RunUntil(Condition done, double limit_seconds)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit_seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        m_harness->Wait(5);
    }
    return true;
}

} // namespace ClipCorpus

#include "ClipCorpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace ClipCorpus {

namespace {

constexpr int kWidth = 768;
constexpr int kHeight = 514;
constexpr std::size_t kPictureBytes = std::size_t(kWidth) * kHeight * 4;

// The names of the Video list's first entries, as the program's table writes them.
constexpr const char* kEntryFiles[] = { "2005B.mpg", "2002_48.mpg", "2004_31.mpg" };

std::vector<std::uint8_t> ReadPart(const std::filesystem::path& file, std::size_t offset, std::size_t size)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> data(size);
    in.seekg(std::streamoff(offset));
    if (!in.read(reinterpret_cast<char*>(data.data()), std::streamsize(size)))
        return {};
    return data;
}

std::vector<Clip> Load()
{
    std::vector<Clip> clips;
    std::ifstream in(Folder() / "corpus.txt");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Clip clip;
        std::string kind;
        if (fields >> clip.name >> clip.file >> kind >> clip.pictures >> clip.video_seconds >> clip.sound_seconds >> clip.packets) {
            clip.sound_only = kind == "sound";
            clips.push_back(clip);
        }
    }
    return clips;
}

} // namespace

std::vector<std::uint8_t> Clip::FirstPicture(int index) const
{
    return ReadPart(Folder() / (name + ".first.bgra"), std::size_t(index) * kPictureBytes, kPictureBytes);
}

std::vector<std::uint8_t> Clip::LastPicture() const
{
    return ReadPart(Folder() / (name + ".last.bgra"), 0, kPictureBytes);
}

const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = VELMAR_CLIP_CORPUS;
    return folder;
}

const std::vector<Clip>& Clips()
{
    static const std::vector<Clip> clips = Load();
    return clips;
}

const Clip* Find(const std::string& name)
{
    for (const Clip& clip : Clips()) {
        if (clip.name == name)
            return &clip;
    }
    return nullptr;
}

Window::Window(const std::vector<std::string>& files)
{
    static std::atomic<int> s_count { 0 };
    m_old = std::filesystem::current_path();
    m_disc = std::filesystem::temp_directory_path()
        / ("velmar-corpus-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
    std::filesystem::remove_all(m_disc);
    std::filesystem::create_directories(m_disc / "Video");
    for (const auto& entry : std::filesystem::directory_iterator(Folder() / "disc")) {
        if (entry.path().filename() != "Video")
            std::filesystem::create_directory_symlink(entry.path(), m_disc / entry.path().filename());
    }
    for (std::size_t i = 0; i < files.size() && i < std::size(kEntryFiles); ++i)
        std::filesystem::create_symlink(Folder() / files[i], m_disc / "Video" / kEntryFiles[i]);
    m_harness = std::make_unique<Harness>(m_disc.string());
}

Window::~Window()
{
    m_harness.reset();
    std::filesystem::current_path(m_old);
    std::filesystem::remove_all(m_disc);
}

void Window::Execute(const std::string& command)
{
    std::ostringstream out, err;
    m_harness->Execute(command, out, err);
    EXPECT_EQ(err.str(), "") << command;
}

void Window::ClickControl(TControl* control)
{
    Point origin = control->WindowOrigin();
    m_harness->Click(origin.x + control->Width() / 2, origin.y + control->Height() / 2);
}

std::vector<std::string> Window::Errors()
{
    std::vector<std::string> messages;
    for (const auto& box : m_harness->Backend().TakeErrorBoxes())
        messages.push_back(box.message);
    return messages;
}

std::vector<std::uint8_t> Window::Display()
{
    m_harness->App().ProcessMessages();
    const PixelBuffer& surface = m_harness->Backend().Surface();
    Point origin = Form().Video->WindowOrigin();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kPictureBytes);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            Pixel p = surface.At(origin.x + x, origin.y + y);
            bytes.insert(bytes.end(), { std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16), 0xFF });
        }
    }
    return bytes;
}

double MeanAbsoluteDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return 1e9;
    double sums[3] = { 0, 0, 0 };
    for (std::size_t i = 0; i < a.size(); i += 4) {
        for (int c = 0; c < 3; ++c)
            sums[c] += std::abs(int(a[i + c]) - int(b[i + c]));
    }
    double pixels = double(a.size() / 4);
    return std::max({ sums[0], sums[1], sums[2] }) / pixels;
}

} // namespace ClipCorpus

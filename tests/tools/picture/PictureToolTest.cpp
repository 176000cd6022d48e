// velmar-picture keeps to the program's pixel budget: a GIF whose header declares a huge logical
// screen is refused with a message that names its size, in little memory, while pictures within
// the budget are written as before.
#include "imaging/GifWriter.h"
#include "platform/PngCodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int status = -1;        // exit status, or -1 when the tool did not exit normally
    std::string errors;     // what it wrote on standard error
    long peak_kib = 0;      // its peak resident memory
};

// Runs velmar-picture with these arguments and waits for it.
ToolRun RunTool(const std::vector<std::string>& arguments, const std::filesystem::path& stderr_file)
{
    ToolRun run;
    pid_t child = ::fork();
    if (child == 0) {
        std::FILE* err = std::freopen(stderr_file.c_str(), "w", stderr);
        if (!err)
            ::_exit(127);
        std::vector<char*> argv { const_cast<char*>(VELMAR_PICTURE) };
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(VELMAR_PICTURE, argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child)
        return run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peak_kib = usage.ru_maxrss;
    std::ifstream in(stderr_file);
    run.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

class PictureTool : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("velmar-picture-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::filesystem::path Write(const std::string& name, const giftest::Bytes& bytes)
    {
        std::ofstream out(m_dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return m_dir / name;
    }
    std::filesystem::path Path(const std::string& name) const { return m_dir / name; }

private:
    std::filesystem::path m_dir;
};

giftest::File Screen(int width, int height)
{
    giftest::File file;
    file.width = width;
    file.height = height;
    file.global_colors = { 0, 0, 0, 255, 0, 0 };
    return file;
}

giftest::Frame RedFrame(int width, int height)
{
    giftest::Frame frame;
    frame.width = width;
    frame.height = height;
    frame.pixels.assign(std::size_t(width) * height, 1);
    frame.lzw.min_code_size = 2;
    return frame;
}

} // namespace

TEST_F(PictureTool, HugeDeclaredScreenIsRefusedInLittleMemory)
{
    giftest::File frameless = Screen(65535, 65535);
    giftest::File one_small_frame = Screen(65535, 65535);
    one_small_frame.frames = { RedFrame(2, 2) };
    giftest::File just_over = Screen(16385, 16384);
    just_over.frames = { RedFrame(2, 2) };
    struct Case {
        const char* name;
        giftest::File file;
        const char* size;
    };
    for (const Case& c : { Case { "frameless", frameless, "65535 x 65535" },
             Case { "small-frame", one_small_frame, "65535 x 65535" }, Case { "just-over", just_over, "16385 x 16384" } }) {
        std::filesystem::path gif = Write(std::string(c.name) + ".gif", giftest::Write(c.file));
        ToolRun run = RunTool({ gif.string(), Path("out.png").string() }, Path("stderr.txt"));
        EXPECT_EQ(run.status, 1) << c.name << ": " << run.errors;
        EXPECT_NE(run.errors.find(std::string("The picture is ") + c.size + " pixels"), std::string::npos)
            << c.name << ": " << run.errors;
        EXPECT_FALSE(std::filesystem::exists(Path("out.png"))) << c.name;
        EXPECT_LT(run.peak_kib, 512 * 1024) << c.name << ": the tool took " << run.peak_kib << " KiB";
    }
}

TEST_F(PictureTool, PicturesWithinTheBudgetAreWritten)
{
    giftest::File file = Screen(40, 30);
    file.frames = { RedFrame(40, 30) };
    std::filesystem::path gif = Write("small.gif", giftest::Write(file));
    ToolRun run = RunTool({ gif.string(), Path("small.png").string() }, Path("stderr.txt"));
    ASSERT_EQ(run.status, 0) << run.errors;
    std::ifstream in(Path("small.png"), std::ios::binary);
    std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    PixelBuffer pixels = DecodePng(png);
    EXPECT_EQ(pixels.Width(), 40);
    EXPECT_EQ(pixels.Height(), 30);
    for (auto [x, y] : { std::pair { 0, 0 }, std::pair { 20, 15 }, std::pair { 39, 29 } })
        EXPECT_EQ(pixels.At(x, y), 0xFFFF0000u) << "opaque red at " << x << ", " << y;
}

#include "platform/Cp1251.h"
#include "platform/DiscPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class DiscPath : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = std::filesystem::current_path();
        m_root = std::filesystem::temp_directory_path() / ("velmar-discpath-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
        std::filesystem::current_path(m_root);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_saved);
        std::filesystem::remove_all(m_root);
    }
    static void Touch(const std::filesystem::path& path)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "x";
    }
    std::filesystem::path m_saved, m_root;
};

} // namespace

TEST_F(DiscPath, TurnsSeparatorsAndCollapsesDoubledOnes)
{
    EXPECT_EQ(ResolveDiscPath("Video\\clip.mpg").string(), "Video/clip.mpg");
    EXPECT_EQ(ResolveDiscPath("Naska\\Articles\\1\\\\page.htm").string(), "Naska/Articles/1/page.htm");
    EXPECT_EQ(ResolveDiscPath("a//b\\/c").string(), "a/b/c");
    EXPECT_EQ(ResolveDiscPath("Video\\").string(), "Video/");
    EXPECT_EQ(ResolveDiscPath("\\abs\\path").string(), "/abs/path");
    EXPECT_EQ(ResolveDiscPath("").string(), "");
}

TEST_F(DiscPath, ConvertsWindows1251NamesToUtf8)
{
    Touch(m_root / "Фото" / "Кит.jpg");
    std::string path = Utf8ToCp1251("Фото\\Кит.jpg");
    EXPECT_EQ(ResolveDiscPath(path).string(), "Фото/Кит.jpg");
    EXPECT_TRUE(DiscPathExists(path));
}

TEST_F(DiscPath, MatchesEachComponentWithoutRegardToCase)
{
    Touch(m_root / "DB" / "Photo.TXT");
    Touch(m_root / "Наска" / "ФОТО" / "01.JPG");
    EXPECT_EQ(ResolveDiscPath("db\\photo.txt").string(), "DB/Photo.TXT");
    EXPECT_EQ(ResolveDiscPath(Utf8ToCp1251("наска\\фото\\01.jpg")).string(), "Наска/ФОТО/01.JPG");
    EXPECT_TRUE(DiscPathExists("DB\\PHOTO.txt"));
    // The exact name wins over a case variant, and among variants the first by bytes.
    Touch(m_root / "db" / "photo.txt");
    Touch(m_root / "dB" / "x");
    EXPECT_EQ(ResolveDiscPath("db\\photo.txt").string(), "db/photo.txt");
    EXPECT_EQ(ResolveDiscPath("Db\\x").string(), "DB/x");
}

TEST_F(DiscPath, LeavesWhatDoesNotExistAsWritten)
{
    Touch(m_root / "Video" / "a.mpg");
    EXPECT_EQ(ResolveDiscPath("video\\Missing\\b.MPG").string(), "Video/Missing/b.MPG");
    EXPECT_FALSE(DiscPathExists("video\\missing.mpg"));
    EXPECT_FALSE(DiscPathExists(""));
    // A path ends at a NUL byte, as the platform's C-string calls see it.
    EXPECT_TRUE(DiscPathExists(std::string("video\\a.mpg\0junk", 16)));
    EXPECT_FALSE(DiscPathExists(std::string("\0video", 6)));
}

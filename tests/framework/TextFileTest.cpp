#include "framework/Exception.h"
#include "framework/TextFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using testing::ElementsAre;

namespace {

std::vector<std::string> ReadAll(TextFile& file)
{
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadLine(line))
        lines.push_back(line);
    return lines;
}

std::vector<std::string> ReadAll(std::string bytes)
{
    TextFile file = TextFile::FromBytes(std::move(bytes));
    return ReadAll(file);
}

class TextFileOnDisc : public testing::Test {
protected:
    void SetUp() override
    {
        m_saved = std::filesystem::current_path();
        m_root = std::filesystem::temp_directory_path() / ("velmar-textfile-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
        std::filesystem::current_path(m_root);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_saved);
        std::filesystem::remove_all(m_root);
    }
    std::filesystem::path m_saved, m_root;
};

std::string MessageOf(std::string_view path)
{
    try {
        TextFile file(path);
        ReadAll(file);
    } catch (const EInOutError& error) {
        return error.Message();
    }
    return "(opened)";
}

} // namespace

TEST(TextFile, SplitsLinesAtEveryKindOfBreak)
{
    EXPECT_THAT(ReadAll("a\r\nb\r\n"), ElementsAre("a", "b"));
    EXPECT_THAT(ReadAll("a\r\n\r\n"), ElementsAre("a", ""));
    EXPECT_THAT(ReadAll("a\nb\rc"), ElementsAre("a", "b", "c"));
    EXPECT_THAT(ReadAll("a\r\r\nb"), ElementsAre("a", "", "b"));
    EXPECT_THAT(ReadAll("\r\n"), ElementsAre(""));
    EXPECT_THAT(ReadAll(""), ElementsAre());
    EXPECT_THAT(ReadAll(std::string("x\0y\x98\r\n", 6)), ElementsAre(std::string("x\0y\x98", 4)));
}

TEST_F(TextFileOnDisc, ReadsLongLinesAndBreaksAcrossChunks)
{
    // A CR LF split by the reader's 64 KiB chunks, and a line of two megabytes.
    std::string first(65535, 'a');
    std::string huge(2 << 20, 'b');
    std::ofstream("lines.txt", std::ios::binary) << first << "\r\n" << huge << "\r\nend";
    TextFile file("lines.txt");
    std::vector<std::string> lines = ReadAll(file);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], first);
    EXPECT_EQ(lines[1], huge);
    EXPECT_EQ(lines[2], "end");
    EXPECT_TRUE(file.Eof());
}

TEST_F(TextFileOnDisc, FindsNamesInAnotherCaseThroughTheDiscPath)
{
    std::filesystem::create_directories("DB");
    std::ofstream("DB/Photo.TXT", std::ios::binary) << "x\r\n";
    TextFile file("db\\photo.txt");
    EXPECT_THAT(ReadAll(file), ElementsAre("x"));
}

TEST_F(TextFileOnDisc, ReportsWhatCannotBeRead)
{
    std::filesystem::create_directories("db/Photo.txt");
    EXPECT_EQ(MessageOf("db\\Missing.txt"), "File not found");
    EXPECT_EQ(MessageOf("nothing\\at\\all.txt"), "File not found");
    EXPECT_EQ(MessageOf(""), "File not found");
    EXPECT_EQ(MessageOf("db\\Photo.txt"), "Cannot read \"db\\Photo.txt\": it is a folder, not a file");
    EXPECT_EQ(MessageOf("/dev/null"), "Cannot read \"/dev/null\": it is not a regular file");
    if (::geteuid() != 0) { // root reads whatever the mode says
        std::ofstream("locked.txt") << "x";
        std::filesystem::permissions("locked.txt", std::filesystem::perms::none);
        EXPECT_EQ(MessageOf("locked.txt"), "File access denied: \"locked.txt\"");
    }
}

#include "platform/ShellOpen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class ShellOpenTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_old = fs::current_path();
        m_dir = fs::temp_directory_path() / ("velmar-shell-" + std::to_string(::getpid()));
        fs::create_directories(m_dir / "Articles" / "1");
        std::ofstream(m_dir / "Articles" / "1" / "page.htm") << "<html></html>";
        fs::current_path(m_dir);
        SetShellLauncher([this](const std::vector<std::string>& argv) { m_launched.push_back(argv); });
        SetShellObserver([this](std::string_view file) { m_observed.emplace_back(file); });
    }
    void TearDown() override
    {
        SetShellLauncher({});
        SetShellObserver({});
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }
    fs::path m_old, m_dir;
    std::vector<std::vector<std::string>> m_launched;
    std::vector<std::string> m_observed;
};

TEST_F(ShellOpenTest, DiscPathOpensByItsAbsolutePath)
{
    ShellOpen("Articles\\1\\page.htm");
    ASSERT_EQ(m_launched.size(), 1u);
    EXPECT_EQ(m_launched[0], (std::vector<std::string> { "xdg-open", (m_dir / "Articles/1/page.htm").string() }));
}

TEST_F(ShellOpenTest, SchemeLessWebAddressOpensOverHttp)
{
    ShellOpen("www.velmar.example/ru/shop/14.html");
    ASSERT_EQ(m_launched.size(), 1u);
    EXPECT_EQ(m_launched[0][1], "http://www.velmar.example/ru/shop/14.html");
}

TEST_F(ShellOpenTest, MissingPageIsDroppedSilentlyButStillHandedOver)
{
    ShellOpen("Articles\\9\\page.htm");
    EXPECT_TRUE(m_launched.empty());
    EXPECT_EQ(m_observed, std::vector<std::string> { "Articles\\9\\page.htm" });
}

TEST_F(ShellOpenTest, SamePageTwiceAsksTwice)
{
    ShellOpen("Articles\\1\\page.htm");
    ShellOpen("Articles\\1\\page.htm");
    EXPECT_EQ(m_launched.size(), 2u);
}

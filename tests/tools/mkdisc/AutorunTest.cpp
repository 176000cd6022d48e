// The disc's autorun.sh run the way a desktop runs it: by its full path, from some other folder,
// with the session's PATH. A stand-in `velmar` on the PATH records how it was started.
#include "AutorunScript.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class AutorunScriptTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_base = fs::temp_directory_path() / ("velmar-autorun-" + std::to_string(::getpid()));
        fs::remove_all(m_base);
        // A mount point with a space and Cyrillic letters, as desktops name discs by their label.
        m_disc = m_base / "media" / "user" / "Круги на полях 1";
        fs::create_directories(m_disc);
        fs::create_directories(m_base / "bin");
        fs::create_directories(m_base / "elsewhere");
        WriteAutorunScript(m_disc);
    }
    void TearDown() override { fs::remove_all(m_base); }

    // A `velmar` that writes its folder and arguments, one per line.
    void InstallStandIn()
    {
        fs::path stand_in = m_base / "bin" / "velmar";
        std::ofstream(stand_in) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > '" << (m_base / "started").string()
                                << "'\n";
        fs::permissions(stand_in, fs::perms::owner_all);
    }

    // Runs the script from `elsewhere` with only our folder on the PATH; returns its exit status.
    int Run(const std::string& how)
    {
        std::string command = "cd '" + (m_base / "elsewhere").string() + "' && env -i PATH='" + (m_base / "bin").string()
            + "' " + how + " > '" + (m_base / "out").string() + "' 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path m_base;
    fs::path m_disc;
};

TEST_F(AutorunScriptTest, StartsTheInstalledProgramOnTheDiscsMountPoint)
{
    InstallStandIn();
    std::string expected = m_disc.string() + "\n" + m_disc.string() + "\n";
    ASSERT_EQ(Run("'" + (m_disc / "autorun.sh").string() + "'"), 0) << ReadAll(m_base / "out");
    EXPECT_EQ(ReadAll(m_base / "started"), expected);

    // Through a relative path, and through sh as some desktops start it.
    fs::remove(m_base / "started");
    ASSERT_EQ(Run("/bin/sh '../media/user/Круги на полях 1/autorun.sh'"), 0) << ReadAll(m_base / "out");
    EXPECT_EQ(ReadAll(m_base / "started"), expected);
}

TEST_F(AutorunScriptTest, WithoutTheProgramItSaysWhatToInstall)
{
    EXPECT_EQ(Run("'" + (m_disc / "autorun.sh").string() + "'"), 1);
    EXPECT_NE(ReadAll(m_base / "out").find("Install the velmar package"), std::string::npos) << ReadAll(m_base / "out");
    EXPECT_FALSE(fs::exists(m_base / "started"));
}

} // namespace

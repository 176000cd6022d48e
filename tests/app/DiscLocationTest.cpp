// Finding the disc before the window opens, and the window that opens without one.
#include "framework/TApplication.h"
#include "platform/HeadlessBackend.h"
#include "shell/DiscLocation.h"
#include "shell/TVelmarForm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using testing::HasSubstr;

namespace {

class DiscLocationTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("velmar-location-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "here");
    }
    void TearDown() override { fs::remove_all(m_root); }

    // A folder with a catalogue folder named `db_name`.
    fs::path Disc(const std::string& relative, const std::string& db_name = "db")
    {
        fs::create_directories(m_root / relative / db_name);
        return m_root / relative;
    }
    fs::path Folder(const std::string& relative)
    {
        fs::create_directories(m_root / relative);
        return m_root / relative;
    }
    fs::path Here() const { return m_root / "here"; }
    std::string Pattern(const std::string& relative) const { return (m_root / relative).string(); }

    fs::path m_root;
};

TEST_F(DiscLocationTest, CatalogueFolderIsMatchedWithoutRegardToCase)
{
    EXPECT_TRUE(HoldsCatalogue(Disc("lower")));
    EXPECT_TRUE(HoldsCatalogue(Disc("upper", "DB")));
    EXPECT_FALSE(HoldsCatalogue(Folder("none")));
    // A file called db is not a catalogue.
    fs::path file_disc = Folder("file");
    std::ofstream(file_disc / "db") << "x";
    EXPECT_FALSE(HoldsCatalogue(file_disc));
}

TEST_F(DiscLocationTest, StartedOnTheDiscItUsesTheCurrentFolder)
{
    fs::path disc = Disc("disc", "Db");
    Disc("mounts/other"); // a mounted disc is not looked for
    DiscLocation location = LocateDisc(disc, std::nullopt, { Pattern("mounts/*/") });
    EXPECT_EQ(location.root, disc);
    EXPECT_EQ(location.problem, "");
}

TEST_F(DiscLocationTest, AnArgumentNamesTheDisc)
{
    fs::path disc = Disc("media/cdrom");
    EXPECT_EQ(LocateDisc(Here(), disc.string(), {}).root, disc);
    // Relative to the current folder, and it wins over a catalogue there.
    fs::path here_with_db = Disc("here");
    EXPECT_EQ(LocateDisc(here_with_db, "../media/cdrom", {}).root, disc);
    EXPECT_EQ(LocateDisc(Here(), "../media/cdrom/", {}).root.lexically_normal(), (disc / "").lexically_normal());
}

TEST_F(DiscLocationTest, AWrongArgumentSaysWhatIsWrongAndIsNotSearchedAround)
{
    Disc("mounts/a");
    DiscLocation missing = LocateDisc(Here(), "/nowhere/cdrom", { Pattern("mounts/*/") });
    EXPECT_TRUE(missing.root.empty());
    EXPECT_THAT(missing.problem, HasSubstr("\"/nowhere/cdrom\" does not exist"));
    EXPECT_THAT(missing.problem, HasSubstr("velmar /media/cdrom"));

    fs::path empty = Folder("media/empty");
    DiscLocation not_disc = LocateDisc(Here(), empty.string(), { Pattern("mounts/*/") });
    EXPECT_TRUE(not_disc.root.empty());
    EXPECT_THAT(not_disc.problem, HasSubstr("is not the disc: it holds no catalogue (a \"db\" folder)"));
}

TEST_F(DiscLocationTest, ElsewhereTheFirstMountedDiscInSortedOrderIsTaken)
{
    Folder("run/user/AAA-no-catalogue");
    fs::path second = Disc("run/user/Disc B");
    fs::path first = Disc("run/user/Disc A");
    Disc("srv/zzz");
    std::vector<std::string> patterns { Pattern("srv/*/"), Pattern("run/*/*/"), Pattern("missing/*/") };
    DiscLocation location = LocateDisc(Here(), std::nullopt, patterns);
    // Sorted over all patterns together: ".../run/..." before ".../srv/...".
    EXPECT_EQ(location.root, first);
    EXPECT_EQ(location.problem, "");

    fs::remove_all(first);
    EXPECT_EQ(FindMountedDisc(patterns), second);
}

TEST_F(DiscLocationTest, NoDiscAnywhereNamesTheSearchedPlaces)
{
    Folder("mounts/empty");
    DiscLocation location = LocateDisc(Here(), std::nullopt, { Pattern("mounts/*/"), "/nonexistent/*/*/" });
    EXPECT_TRUE(location.root.empty());
    EXPECT_THAT(location.problem, HasSubstr("No disc found"));
    EXPECT_THAT(location.problem, HasSubstr(Pattern("mounts/*/") + ", /nonexistent/*/*/"));
    EXPECT_THAT(location.problem, HasSubstr("Insert the disc"));
}

TEST(MountRoots, TheUsualOnesOrTheEnvironmentsList)
{
    ::unsetenv("VELMAR_MOUNT_ROOTS");
    EXPECT_THAT(MountRootPatterns(), testing::ElementsAre("/media/*/", "/media/*/*/", "/run/media/*/*/", "/mnt/*/"));
    ::setenv("VELMAR_MOUNT_ROOTS", "/a/*/::/b/*/*/:", 1);
    EXPECT_THAT(MountRootPatterns(), testing::ElementsAre("/a/*/", "/b/*/*/"));
    ::unsetenv("VELMAR_MOUNT_ROOTS");
}

// Without a disc the window opens with its layout and nothing in it, and says why in one error box.
TEST(MissingDisc, TheWindowOpensEmptyWithOneErrorBox)
{
    fs::path old = fs::current_path();
    fs::path empty = fs::temp_directory_path() / ("velmar-no-disc-" + std::to_string(::getpid()));
    fs::create_directories(empty);
    fs::current_path(empty);
    {
        auto owned = std::make_unique<HeadlessBackend>();
        HeadlessBackend& backend = *owned;
        TApplication application(std::move(owned), "/usr/bin/velmar");
        const std::string problem = "No disc found: insert it, for example \"velmar /media/cdrom\"";
        auto* form = application.CreateForm<TVelmarForm>(problem);
        application.ProcessMessages();

        std::vector<HeadlessBackend::ErrorBox> boxes = backend.TakeErrorBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "velmar"); // the program file's name
        EXPECT_EQ(boxes[0].message, problem); // ends in a quotation mark: no full stop added
        EXPECT_TRUE(backend.Created());
        EXPECT_EQ(form->FotoTreeView->Items().Count(), 0);
        EXPECT_EQ(form->NaskaTreeView->Items().Count(), 0);
        EXPECT_EQ(form->SchemeListBox->Items().Count(), 0);
        EXPECT_EQ(form->VideoListBox->Items().Count(), 0);
        // The window is laid out as on any start: the Photo tab selected, Next and Prev inactive.
        EXPECT_TRUE(form->ImageNextH->Visible());
        EXPECT_FALSE(form->ImageNext->Visible());
        application.Terminate();
    }
    fs::current_path(old);
    fs::remove_all(empty);
}

} // namespace

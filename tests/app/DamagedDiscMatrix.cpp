// The damaged-disc matrix (cases in DamagedDiscCases.cpp). Each case damages one file of a copy of
// the small sample disc, opens the window on it and drives it, as a user would, to where the file
// is read; it writes a screenshot of what the user then sees (build/tests/damaged-disc/KIND/), and
// checks that
// - no error escapes the window and no case runs past its time limit (a hang aborts the run,
//   naming the case);
// - the action shows at most one error box, and the outcome the window's rules give: the box
//   with its message or none, and what the viewer, the information line and Next show;
// - the next action, on a sound file, works without a box.
#include "DamagedDiscMatrix.h"
#include "SampleDisc.h"

#include <gmock/gmock.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>

using matrix::Case;
using matrix::FileKind;
using matrix::Outcome;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

// A case that takes longer than this hangs: even under the sanitizers a case takes a few seconds.
constexpr std::chrono::seconds kCaseLimit { 60 };

// Aborts the test program when the case it guards has not ended in time, naming the case: a hung
// window would otherwise stall the whole run without saying where.
class Watchdog {
public:
    Watchdog(std::string what, std::chrono::seconds limit)
        : m_what(std::move(what))
        , m_thread([this, limit] {
            std::unique_lock lock(m_mutex);
            if (!m_ended.wait_for(lock, limit, [this] { return m_done; })) {
                std::fprintf(stderr, "\n%s: still running after %lld s; the window hangs\n", m_what.c_str(),
                    static_cast<long long>(limit.count()));
                std::abort();
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_all();
        m_thread.join();
    }

private:
    std::string m_what;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done { false };
    std::thread m_thread;
};

std::string CaseName(const Case& c) { return std::string(matrix::KindName(c.kind)) + "_" + c.damage.name; }

bool IsCatalogue(FileKind kind)
{
    return kind == FileKind::PhotoCatalogue || kind == FileKind::SchemeCatalogue || kind == FileKind::NaskaCatalogue;
}

} // namespace

class DamagedDiscMatrix : public SampleDiscTest, public testing::WithParamInterface<Case> {
protected:
    bool OpensAtSetUp() const override { return false; }

    // Runs a step of the window; an error that leaves it is what ends the real program.
    bool Survives(const char* step, const std::function<void()>& run)
    {
        try {
            run();
            return true;
        } catch (const std::exception& error) {
            ADD_FAILURE() << "an error escaped the window during " << step << ": " << error.what();
        } catch (...) {
            ADD_FAILURE() << "an unknown error escaped the window during " << step;
        }
        return false;
    }

    void ClickListItem(TbsSkinListBox* list, int index, bool twice = false)
    {
        Point origin = list->ListBox().WindowOrigin();
        int row = list->ItemHeight();
        int x = origin.x + 20, y = origin.y + row * index + row / 2;
        if (twice)
            harness->DoubleClick(x, y);
        else
            harness->Click(x, y);
    }
    void ClickNaska(const char* branch, const char* caption)
    {
        ClickNode(Form().NaskaTreeView, Node(Form().NaskaTreeView, { "Наска", branch, caption }));
    }
    void ClickPlace(const char* year, const char* country, const char* place)
    {
        ClickNode(Form().FotoTreeView, Node(Form().FotoTreeView, { "Год", year, country, place }));
    }
    TGraphic* Shown() { return Form().Image->Picture().Graphic(); }

    // The window showing a sound picture of the section, so that "keeps its picture" can be seen.
    void Prepare(FileKind kind)
    {
        switch (kind) {
        case FileKind::Photograph:
            ClickPlace("2001", "Великобритания", "Wiltshire, Pewsey");
            break;
        case FileKind::Drawing:
        case FileKind::AnimatedDrawing:
            ClickControl(Form().ImageSchemeH); // drawing 00 of scheme 0
            break;
        case FileKind::NaskaPicture:
            ClickControl(Form().ImageBonusH);
            ClickNaska("Фото", "Алькатрас");
            break;
        case FileKind::NaskaArticlePreview:
            ClickControl(Form().ImageBonusH);
            ClickNaska("Статьи", "Культура Наска");
            break;
        case FileKind::ArticlePreview:
            ClickControl(Form().ImageArticlesH); // the first article's preview
            break;
        case FileKind::Clip:
            ClickControl(Form().ImageVideoH);
            break;
        default:
            break;
        }
        harness->Wait(20);
    }

    // The user's action that reads the damaged file, event by event through the harness. The
    // screenshot is taken when an error box appears (before the next event would close it, as a
    // user's next click does), or else once the action has settled.
    void Act(FileKind kind)
    {
        switch (kind) {
        case FileKind::Photograph:
            ClickAt(NodeCentre(Form().FotoTreeView, { "Год", "1990", "Великобритания", "Wiltshire, Avebury" }));
            break;
        case FileKind::Drawing:
            ClickAt(ItemCentre(Form().SchemeListBox, 2));
            break;
        case FileKind::AnimatedDrawing:
            ClickAt(ItemCentre(Form().SchemeListBox, 1));
            break;
        case FileKind::NaskaPicture:
            ClickAt(NodeCentre(Form().NaskaTreeView, { "Наска", "Фото", "Колибри" }));
            break;
        case FileKind::NaskaArticlePreview:
            ClickAt(NodeCentre(Form().NaskaTreeView, { "Наска", "Статьи", "Плато Наска" }));
            break;
        case FileKind::ArticlePreview:
            ClickAt(ItemCentre(Form().ArticlesListBox, 1));
            break;
        case FileKind::Clip: {
            // A double click: a click, then the second press that the system reports as a double
            // click, then its release.
            Point at = ItemCentre(Form().VideoListBox, 1);
            ClickAt(at);
            harness->Backend().Inject({ .type = WindowEvent::Type::DoubleClick, .x = at.x, .y = at.y });
            harness->App().ProcessMessages();
            ShootIfBox();
            Command("up", at);
            break;
        }
        default:
            break;
        }
    }

    // A harness command with a point, as a script gives it; a box it brings is shot at once.
    void Command(const char* name, Point at)
    {
        std::string line = std::string(name) + " " + std::to_string(at.x) + " " + std::to_string(at.y);
        std::ostringstream out, err;
        EXPECT_TRUE(harness->Execute(line, out, err)) << line;
        EXPECT_EQ(err.str(), "") << line;
        ShootIfBox();
    }
    void ClickAt(Point at)
    {
        Command("move", at);
        Command("down", at);
        Command("up", at);
    }
    Point ItemCentre(TbsSkinListBox* list, int index)
    {
        Point origin = list->ListBox().WindowOrigin();
        int row = list->ItemHeight();
        return { origin.x + 20, origin.y + row * index + row / 2 };
    }
    Point NodeCentre(TTreeView* tree, std::initializer_list<const char*> path)
    {
        TTreeNode* node = Node(tree, path);
        if (!node)
            throw std::runtime_error("the sample disc lacks a tree node the case needs");
        node->MakeVisible();
        harness->Wait(0);
        Rect rect = node->DisplayRect(true);
        Point origin = tree->WindowOrigin();
        return { origin.x + rect.left + 3, origin.y + (rect.top + rect.bottom) / 2 };
    }

    // An action on a sound file of the same section, which must work as on a sound disc.
    void NextAction(FileKind kind)
    {
        switch (kind) {
        case FileKind::Photograph:
            ClickPlace("1990", "Великобритания", "Wiltshire, Morgan's Hill");
            break;
        case FileKind::Drawing:
        case FileKind::AnimatedDrawing:
            ClickListItem(Form().SchemeListBox, 3);
            break;
        case FileKind::NaskaPicture:
            ClickNaska("Фото", "Собака");
            break;
        case FileKind::NaskaArticlePreview:
            ClickNaska("Статьи", "Огни пустыни");
            break;
        case FileKind::ArticlePreview:
            ClickListItem(Form().ArticlesListBox, 2);
            break;
        case FileKind::Clip:
            ClickListItem(Form().VideoListBox, 0, true);
            break;
        default: // catalogues: the sections whose lists do not come from the catalogue
            ClickControl(Form().ImageVideoH);
            harness->Wait(20);
            ClickControl(Form().ImagePhotoH);
            break;
        }
        harness->Wait(kind == FileKind::Clip ? 100 : 30);
    }

    void ExpectNextActionWorked(FileKind kind, bool built)
    {
        TVelmarForm& f = Form();
        switch (kind) {
        case FileKind::Photograph:
            EXPECT_EQ(ViewerClass(), "TBitmap");
            EXPECT_EQ(Info(), "Великобритания Wiltshire, Morgan's Hill 13.06.1990");
            break;
        case FileKind::Drawing:
        case FileKind::AnimatedDrawing:
            EXPECT_EQ(ViewerClass(), "TGIFImage");
            EXPECT_EQ(f.CurrentScheme, 3);
            break;
        case FileKind::NaskaPicture:
            EXPECT_EQ(ViewerClass(), "TJPEGImage");
            EXPECT_EQ(Info(), "Собака");
            break;
        case FileKind::NaskaArticlePreview:
            EXPECT_EQ(ViewerClass(), "TJPEGImage");
            EXPECT_EQ(Info(), "Пустыня Наска зажыгает огни");
            break;
        case FileKind::ArticlePreview:
            EXPECT_EQ(ViewerClass(), "TJPEGImage");
            break;
        case FileKind::Clip:
            EXPECT_TRUE(f.MediaPlayer->IsOpen());
            EXPECT_EQ(f.MediaPlayer->FileName(), "Video\\2005B.mpg");
            break;
        default:
            EXPECT_TRUE(f.FotoTreeView->Visible());
            EXPECT_FALSE(f.VideoListBox->Visible());
            EXPECT_EQ(f.VideoListBox->Items().Count(), built ? 13 : 0);
            break;
        }
    }

    // What the window shows after the action, by the case's outcome.
    void ExpectOutcome(const Case& c, const std::vector<std::string>& boxes, TGraphic* before, bool next_before)
    {
        TVelmarForm& f = Form();
        const bool box_expected = c.outcome == Outcome::LoadFails || c.outcome == Outcome::DrawFails
            || c.outcome == Outcome::Stopped;
        if (box_expected) {
            ASSERT_EQ(boxes.size(), 1u) << "one error box";
            EXPECT_THAT(boxes[0], HasSubstr(c.message));
        } else if (c.outcome != Outcome::PlaysOrBox) {
            EXPECT_THAT(boxes, IsEmpty()) << "no error box";
        }
        const bool loaded = c.outcome == Outcome::Shown || c.outcome == Outcome::DrawFails;
        switch (c.kind) {
        case FileKind::Photograph:
            EXPECT_EQ(ViewerClass(), c.outcome == Outcome::Shown ? "TBitmap" : "none");
            EXPECT_EQ(Info(), "Великобритания Wiltshire, Avebury 05.07.1990");
            EXPECT_EQ(f.CurrentPhoto, 0);
            EXPECT_TRUE(NextActive());
            break;
        case FileKind::Drawing:
        case FileKind::AnimatedDrawing: {
            int scheme = c.kind == FileKind::Drawing ? 2 : 1;
            EXPECT_EQ(f.CurrentScheme, scheme);
            EXPECT_EQ(f.CurrentSchemePicture, 0);
            EXPECT_EQ(f.InfoLabel->Caption(), f.Schemes[std::size_t(scheme)].InfoText);
            ExpectViewer(loaded, "TGIFImage", before);
            // A drawing that fails to load stops before Next is set.
            EXPECT_EQ(NextActive(), loaded ? true : next_before);
            break;
        }
        case FileKind::NaskaPicture:
            EXPECT_EQ(f.CurrentMode, TVelmarForm::NaskaPictures);
            EXPECT_EQ(f.CurrentNaska, 8);
            EXPECT_EQ(f.CurrentNaskaPicture, 0);
            ExpectViewer(loaded, "TJPEGImage", before);
            EXPECT_EQ(Info(), loaded ? "Колибри" : "");
            EXPECT_EQ(NextActive(), loaded);
            break;
        case FileKind::NaskaArticlePreview:
            EXPECT_EQ(f.CurrentArticleFolder, "Naska\\Articles\\3\\");
            ExpectViewer(loaded, "TJPEGImage", before);
            EXPECT_EQ(Info(), loaded ? "Плато Наска и его назначение" : "");
            break;
        case FileKind::ArticlePreview:
            EXPECT_EQ(f.ArticlesListBox->ItemIndex(), 1);
            ExpectViewer(loaded, "TJPEGImage", before);
            break;
        case FileKind::Clip:
            // Either is right; which one it was is worth seeing in the log.
            std::printf("[ outcome  ] %s\n", boxes.empty() ? "the clip plays" : ("box: " + boxes[0]).c_str());
            if (boxes.empty()) {
                EXPECT_TRUE(f.MediaPlayer->IsOpen()) << "no box, so the clip plays";
                EXPECT_TRUE(f.ImagePause->Visible()) << "the Playing layout";
            } else {
                ASSERT_EQ(boxes.size(), 1u) << "one error box";
                EXPECT_GT(boxes[0].size(), 10u) << "the box names the problem: " << boxes[0];
                EXPECT_FALSE(f.MediaPlayer->IsOpen());
                EXPECT_TRUE(f.ImagePlay->Visible()) << "the layout stays as it was";
            }
            break;
        default:
            ExpectCatalogue(c.outcome == Outcome::Built);
            break;
        }
    }

    void ExpectViewer(bool loaded, const char* class_name, TGraphic* before)
    {
        if (loaded) {
            EXPECT_EQ(ViewerClass(), class_name);
            EXPECT_NE(Shown(), before) << "the new picture is held";
        } else {
            EXPECT_EQ(Shown(), before) << "the viewer keeps the picture it showed";
        }
    }

    // A complete construction, or one that ended at the readers: every list and tree empty, while
    // the steps before the readers (the tab strip, inactive Next and Prev) are done.
    void ExpectCatalogue(bool built)
    {
        TVelmarForm& f = Form();
        EXPECT_TRUE(harness->Backend().Created()) << "the window opens";
        EXPECT_GT(AppZ(f.ImagePhoto), AppZ(f.body)) << "the Photo tab is selected";
        EXPECT_FALSE(NextActive());
        EXPECT_FALSE(PrevActive());
        if (built) {
            ASSERT_GT(f.FotoTreeView->Items().Count(), 0);
            EXPECT_EQ(Info(), "");
            TTreeNodes& nodes = f.FotoTreeView->Items();
            EXPECT_EQ(Cp1251ToUtf8(nodes[nodes.Count() - 1]->Text()), "Все");
            EXPECT_GE(f.NaskaTreeView->Items().Count(), 8);
            EXPECT_EQ(f.SchemeListBox->Items().Count(), f.SchemeCount());
            EXPECT_EQ(f.VideoListBox->Items().Count(), 13);
            EXPECT_EQ(f.ArticlesListBox->Items().Count(), 5);
        } else {
            EXPECT_EQ(f.FotoTreeView->Items().Count(), 0);
            EXPECT_EQ(f.NaskaTreeView->Items().Count(), 0);
            EXPECT_EQ(f.SchemeListBox->Items().Count(), 0);
            EXPECT_EQ(f.VideoListBox->Items().Count(), 0);
            EXPECT_EQ(f.ArticlesListBox->Items().Count(), 0);
        }
    }

    // The screenshot of what the user sees after the action (once per case).
    void Shoot()
    {
        const Case& c = *m_case;
        m_shot = true;
        std::filesystem::path dir = std::filesystem::path(VELMAR_BINARY_DIR) / "tests" / "damaged-disc" / matrix::KindName(c.kind);
        std::filesystem::create_directories(dir);
        std::filesystem::path shot = dir / (c.damage.name + ".png");
        std::filesystem::remove(shot);
        std::ostringstream out, err;
        EXPECT_TRUE(harness->Execute("shot " + shot.string(), out, err));
        EXPECT_EQ(err.str(), "");
        EXPECT_TRUE(std::filesystem::is_regular_file(shot)) << shot;
    }

    void ShootIfBox()
    {
        if (!m_shot && harness->App().ErrorBoxShowing())
            Shoot();
    }

    const Case* m_case { nullptr }; // the case running
    bool m_shot { false };          // its screenshot is taken
};

TEST_P(DamagedDiscMatrix, WindowSurvivesAndShowsWhatTheRulesSay)
{
    const Case& c = GetParam();
    m_case = &c;
    Watchdog watchdog(CaseName(c), kCaseLimit);
    ASSERT_TRUE(Survives("the damage", [&] { c.damage.Apply(ScratchPath(matrix::TargetOf(c.kind))); }));

    // Catalogues are read at start-up: opening the window is the action.
    ASSERT_TRUE(Survives("start-up", [&] { Reopen(); }));
    TGraphic* before = nullptr;
    bool next_before = false;
    if (!IsCatalogue(c.kind)) {
        ASSERT_TRUE(Survives("the way to the file", [&] { Prepare(c.kind); }));
        ASSERT_THAT(Errors(), IsEmpty()) << "the sound files on the way reported an error";
        before = Shown();
        next_before = NextActive();
        ASSERT_TRUE(Survives("the action", [&] { Act(c.kind); }));
    }
    // Time for what the action set going: repaints, an animation's first frames, a clip's start.
    ASSERT_TRUE(Survives("the repaints after the action", [&] {
        harness->Wait(c.kind == FileKind::AnimatedDrawing || c.kind == FileKind::Clip ? 150 : 30);
    }));
    if (!m_shot)
        Shoot();
    std::vector<std::string> boxes = Errors();
    EXPECT_LE(boxes.size(), 1u) << "at most one error box per action";
    ExpectOutcome(c, boxes, before, next_before);

    ASSERT_TRUE(Survives("the next action", [&] { NextAction(c.kind); }));
    EXPECT_THAT(Errors(), IsEmpty()) << "the next action reported an error";
    ExpectNextActionWorked(c.kind, c.outcome == Outcome::Built);
    EXPECT_FALSE(harness->App().Terminated()) << "the window is still open";
}

namespace {

std::vector<Case> CasesOf(FileKind kind)
{
    std::vector<Case> all;
    for (auto group : { matrix::CatalogueCases, matrix::PictureCases, matrix::DrawingCases, matrix::ClipCases })
        for (Case& c : group())
            if (c.kind == kind)
                all.push_back(std::move(c));
    return all;
}

std::string ParamName(const testing::TestParamInfo<Case>& info) { return info.param.damage.name; }

} // namespace

// One suite per kind of file, each its own CTest test (tests/CMakeLists.txt).
#define VELMAR_DAMAGED(kind) \
    INSTANTIATE_TEST_SUITE_P(kind, DamagedDiscMatrix, testing::ValuesIn(CasesOf(FileKind::kind)), ParamName)
VELMAR_DAMAGED(PhotoCatalogue);
VELMAR_DAMAGED(SchemeCatalogue);
VELMAR_DAMAGED(NaskaCatalogue);
VELMAR_DAMAGED(Photograph);
VELMAR_DAMAGED(Drawing);
VELMAR_DAMAGED(AnimatedDrawing);
VELMAR_DAMAGED(NaskaPicture);
VELMAR_DAMAGED(ArticlePreview);
VELMAR_DAMAGED(NaskaArticlePreview);
VELMAR_DAMAGED(Clip);

#include "AppTestSupport.h"

#include "framework/TScreen.h"

#include <gtest/gtest.h>

#include <sstream>

using WindowTest = HarnessTest;

TEST_F(WindowTest, StartsWithThePhotoTabSelectedAndNextPrevInactive)
{
    TVelmarForm& f = Form();
    EXPECT_EQ(f.Width(), 1024);
    EXPECT_EQ(f.Height(), 738);
    EXPECT_GT(Z(f.ImagePhoto), Z(f.body));
    EXPECT_LT(Z(f.ImagePhotoH), Z(f.body));
    for (TImage* area : { f.ImageSchemeH, f.ImageVideoH, f.ImageArticlesH, f.ImageBonusH })
        EXPECT_GT(Z(area), Z(f.body)) << area->Name();
    for (TImage* picture : { f.ImageScheme, f.ImageVideo, f.ImageArticles, f.ImageBonus, f.Scheme })
        EXPECT_LT(Z(picture), Z(f.body)) << picture->Name();
    EXPECT_TRUE(f.ImageNextH->Visible());
    EXPECT_TRUE(f.ImagePrevH->Visible());
    EXPECT_FALSE(f.ImageNext->Visible());
    EXPECT_FALSE(f.ImagePrev->Visible());
    // The windowed video display covers the viewer when shown.
    EXPECT_GT(Z(f.Video), Z(f.Image));
}

TEST_F(WindowTest, ClickingTheSelectedTabsPictureDoesNothingButOthersAreClickable)
{
    TVelmarForm& f = Form();
    EXPECT_EQ(f.ControlAtWindowPoint({ 470, 67 + 20 }), f.ImagePhoto);
    EXPECT_EQ(f.ControlAtWindowPoint({ 580, 67 + 20 }), f.ImageSchemeH);
}

TEST_F(WindowTest, OnlyTheTitleStripOutsideTheMarksDragsTheWindow)
{
    TVelmarForm& f = Form();
    EXPECT_TRUE(f.IsCaptionPoint({ 500, 30 }));
    EXPECT_FALSE(f.IsCaptionPoint({ 990, 20 })); // HeaderPanel
    EXPECT_FALSE(f.IsCaptionPoint({ 500, 300 })); // MainPanel
}

TEST_F(WindowTest, HoveringTheCloseMarkShowsItsHintAndTheHand)
{
    harness->Move(1008, 17);
    harness->Wait(700);
    std::string dump = harness->Dump();
    EXPECT_NE(dump.find("\"cursor\":\"hand\""), std::string::npos) << dump.substr(0, 200);
    EXPECT_NE(dump.find("\"hint\":\"Close\""), std::string::npos) << dump.substr(0, 200);
}

TEST_F(WindowTest, MinimiseAndCloseMarks)
{
    harness->Click(989, 17);
    EXPECT_TRUE(harness->Backend().Minimized());
    EXPECT_FALSE(harness->App().Terminated());
    harness->Click(1008, 17);
    EXPECT_TRUE(harness->App().Terminated());
}

TEST_F(WindowTest, RefreshTimerTicksOnceAfterActivationAndAfterRestore)
{
    // The timer's interval is 1 ms, so whether it is still armed when the event's handling returns
    // depends on the machine's speed; what must hold is one tick per activation and per restore.
    TVelmarForm& f = Form();
    int ticks = 0;
    auto original = f.RefreshTimer->OnTimer;
    f.RefreshTimer->OnTimer = [&](TObject* s) {
        ++ticks;
        original(s);
    };
    EXPECT_TRUE(harness->WaitUntil([&] { return !f.RefreshTimer->Enabled(); }))
        << "the activation that came with showing the window has ticked";
    ticks = 0;
    std::ostringstream out, err;
    harness->Execute("activate", out, err);
    EXPECT_TRUE(harness->WaitUntil([&] { return ticks >= 1; }));
    harness->Wait(30);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(f.RefreshTimer->Enabled());

    harness->Execute("minimize", out, err);
    harness->Wait(20);
    EXPECT_EQ(ticks, 1) << "minimising arms nothing";
    harness->Backend().Inject({ .type = WindowEvent::Type::Restore });
    EXPECT_TRUE(harness->WaitUntil([&] { return ticks >= 2; })) << "restore arms the timer";
    harness->Wait(30);
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(f.RefreshTimer->Enabled());
}

TEST_F(WindowTest, ScaleFontsChangesNothingAtTheDesignDensity)
{
    TVelmarForm& f = Form();
    int header_height = f.header->Font().Height();
    f.ScaleFonts();
    EXPECT_EQ(f.header->Font().Height(), header_height);
}

TEST_F(WindowTest, ScaleFontsAtAnotherDensityMultipliesDirectChildren)
{
    TVelmarForm& f = Form();
    harness->Backend().SetPixelsPerInch(144);
    // With the window font at its design height the factor is 1.
    f.ScaleFonts();
    EXPECT_EQ(f.MainPanel->Font().Height(), -11);
    // With a window font of -22 (factor 2) each direct child doubles; grandchildren do not.
    f.Font().SetHeight(-22);
    int label_height = f.InfoLabel->Font().Height();
    f.ScaleFonts();
    EXPECT_EQ(f.MainPanel->Font().Height(), -22);
    EXPECT_EQ(f.HeaderPanel->Font().Height(), -22);
    EXPECT_EQ(f.header->Font().Height(), -22);
    EXPECT_EQ(f.InfoLabel->Font().Height(), label_height);
    // The factor truncates toward zero: -16 / -11 is 1.
    f.Font().SetHeight(-16);
    f.ScaleFonts();
    EXPECT_EQ(f.MainPanel->Font().Height(), -22);
}

TEST_F(WindowTest, UnknownHarnessCommandsAreReportedAndIgnored)
{
    std::ostringstream out, err;
    EXPECT_TRUE(harness->Execute("fly 1 2", out, err));
    EXPECT_NE(err.str().find("unknown command 'fly'"), std::string::npos);
    EXPECT_TRUE(harness->Execute("click x", out, err));
    EXPECT_NE(err.str().find("expects X Y"), std::string::npos);
    EXPECT_TRUE(out.str().empty());
}

TEST_F(WindowTest, MissingCatalogueIsReportedAndTheWindowStillOpens)
{
    std::string dump = harness->Dump();
    EXPECT_NE(dump.find("\"errors\":[\"File not found.\"]"), std::string::npos) << dump.substr(0, 300);
    EXPECT_TRUE(harness->Backend().Created());
    EXPECT_EQ(Form().FotoTreeView->Items().Count(), 0);
    EXPECT_EQ(Form().VideoListBox->Items().Count(), 0);
    // The steps before the readers were done: Photo tab, Next and Prev inactive.
    EXPECT_LT(Z(Form().ImagePhotoH), Z(Form().body));
    EXPECT_FALSE(Form().ImageNext->Visible());
}

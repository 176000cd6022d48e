#include "framework/Exception.h"
#include "framework/TApplication.h"
#include "framework/TForm.h"
#include "framework/TImage.h"
#include "framework/TTimer.h"
#include "platform/HeadlessBackend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// An application on the headless backend with one 200 x 100 form.
struct HeadlessApp {
    explicit HeadlessApp(const char* exe = "/usr/bin/velmar", std::function<void(TForm*)> on_create = {})
    {
        auto owned = std::make_unique<HeadlessBackend>();
        backend = owned.get();
        app = std::make_unique<TApplication>(std::move(owned), exe);
        auto created = std::make_unique<TForm>(app.get());
        form = created.get();
        form->SetBounds(0, 0, 200, 100);
        if (on_create)
            form->OnCreate = [this, on_create](TObject*) { on_create(form); };
        app->Adopt(std::move(created));
        form->CreateWindow(*backend);
    }
    HeadlessBackend* backend;
    std::unique_ptr<TApplication> app;
    TForm* form;
};

} // namespace

TEST(ErrorBox, TitleComesFromTheProgramFileName)
{
    EXPECT_EQ(HeadlessApp("/cdrom/VELMAR.EXE").app->Title(), "Velmar");
    EXPECT_EQ(HeadlessApp("velmar").app->Title(), "velmar");
    EXPECT_EQ(HeadlessApp("./Autorun.x.y").app->Title(), "Autorun");
}

TEST(ErrorBox, FullStopIsAddedWhenTheLastCharacterSortsAboveIt)
{
    EXPECT_EQ(TApplication::ErrorBoxMessage("File not found"), "File not found.");
    EXPECT_EQ(TApplication::ErrorBoxMessage("Done."), "Done.");
    EXPECT_EQ(TApplication::ErrorBoxMessage("Cannot open (x)"), "Cannot open (x)"); // ')' sorts below '.'
    EXPECT_EQ(TApplication::ErrorBoxMessage("\xCE\xF8\xE8\xE1\xEA\xE0"), "\xCE\xF8\xE8\xE1\xEA\xE0."); // Cyrillic
    EXPECT_EQ(TApplication::ErrorBoxMessage(""), "");
}

TEST(ErrorBox, AnErrorEndsItsHandlerAndTheLoopGoesOn)
{
    HeadlessApp h("VELMAR.EXE");
    auto* image = h.form->Create<TImage>("Target");
    image->SetParent(h.form);
    image->SetBounds(0, 0, 50, 50);
    int reached_after_throw = 0, clicks = 0;
    image->OnClick = [&](TObject*) {
        ++clicks;
        if (clicks == 1)
            throw EInOutError("File not found");
        ++reached_after_throw;
    };
    for (int i = 0; i < 2; ++i) {
        h.backend->Inject({ .type = WindowEvent::Type::MouseDown, .x = 10, .y = 10 });
        h.backend->Inject({ .type = WindowEvent::Type::MouseUp, .x = 10, .y = 10 });
        h.app->ProcessMessages();
        // The user reads the box and closes it.
        h.backend->Inject({ .type = WindowEvent::Type::KeyDown, .key = VK_RETURN });
        h.app->ProcessMessages();
        EXPECT_FALSE(h.app->ErrorBoxShowing());
    }
    auto boxes = h.backend->TakeErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Velmar");
    EXPECT_EQ(boxes[0].message, "File not found.");
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(reached_after_throw, 1);
}

TEST(ErrorBox, AnErrorInTheCreationHandlerStillShowsTheWindow)
{
    bool built_before = false;
    HeadlessApp h("velmar", [&](TForm*) {
        built_before = true;
        throw EConvertError("'19x0' is not a valid integer value");
    });
    EXPECT_TRUE(built_before);
    EXPECT_TRUE(h.backend->Created());
    auto boxes = h.backend->TakeErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "'19x0' is not a valid integer value.");
}

TEST(Timers, OneShotPatternTicksOnceAndTimersSurviveTheirOwnDisabling)
{
    HeadlessApp h;
    auto* timer = h.form->Create<TTimer>("T");
    timer->SetEnabled(false);
    timer->SetInterval(1);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        timer->SetEnabled(false);
    };
    timer->SetEnabled(true);
    h.app->RunFor(30);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->Enabled());
}

TEST(Timers, RepeatingTimerKeepsItsInterval)
{
    HeadlessApp h;
    auto* timer = h.form->Create<TTimer>("T");
    timer->SetInterval(20);
    int ticks = 0;
    timer->OnTimer = [&](TObject*) { ++ticks; };
    h.app->RunFor(110);
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, 6);
}

TEST(Threads, SynchronizeRunsOnTheGuiThreadAndWaits)
{
    HeadlessApp h;
    std::thread::id ran_on;
    std::atomic<bool> done { false };
    std::thread worker([&] {
        h.app->Synchronize([&] { ran_on = std::this_thread::get_id(); });
        done = true; // after Synchronize returned
    });
    while (!done)
        h.app->RunFor(5);
    worker.join();
    EXPECT_EQ(ran_on, std::this_thread::get_id());
}

TEST(Threads, SynchronizeShowsTheCallsErrorAndRaisesItInTheCallingThread)
{
    HeadlessApp h;
    std::string caught;
    std::atomic<bool> done { false };
    std::thread worker([&] {
        try {
            h.app->Synchronize([] { throw Exception("boom"); });
        } catch (const Exception& e) {
            caught = e.Message();
        }
        done = true;
    });
    while (!done)
        h.app->RunFor(5);
    worker.join();
    EXPECT_EQ(caught, "boom");
    auto boxes = h.backend->TakeErrorBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].message, "boom.");
}

TEST(Threads, PostedWorkRunsInOrderOnTheGuiThread)
{
    HeadlessApp h;
    std::vector<int> order;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            h.app->Post([&order, i] { order.push_back(i); });
    });
    worker.join();
    h.app->ProcessMessages();
    EXPECT_EQ(order, (std::vector<int> { 0, 1, 2 }));
}

TEST(Hints, ShownAfterThePauseAndHiddenWhenThePointerLeaves)
{
    HeadlessApp h;
    auto* image = h.form->Create<TImage>("Close");
    image->SetParent(h.form);
    image->SetBounds(10, 10, 20, 20);
    image->SetHint("Close");
    image->SetShowHint(true);
    h.app->HintPause = 30;
    h.backend->Inject({ .type = WindowEvent::Type::MouseMove, .x = 15, .y = 15 });
    h.app->ProcessMessages();
    EXPECT_EQ(h.app->CurrentHint(), "");
    h.app->RunFor(60);
    EXPECT_EQ(h.app->CurrentHint(), "Close");
    h.backend->Inject({ .type = WindowEvent::Type::MouseMove, .x = 150, .y = 50 });
    h.app->ProcessMessages();
    EXPECT_EQ(h.app->CurrentHint(), "");
}

// Closing the window while an animated drawing plays ends the program at once.
#include "SampleDisc.h"

#include "imaging/TGIFImage.h"

#include <chrono>
#include <cstdio>
#include <future>
#include <sstream>
#include <thread>

TEST_F(SampleDiscTest, ClosingWhileASchemeAnimatesEndsPromptly)
{
    std::ostringstream out, err;
    harness->Execute("click 583 87", out, err);
    TbsSkinListBox* list = Form().SchemeListBox;
    bool animated = false;
    for (int i = 0; i < list->Items().Count() && !animated; ++i) {
        list->SetItemIndex(i);
        Form().SchemeListBoxListBoxClick(list);
        auto* gif = dynamic_cast<TGIFImage*>(Form().Image->Picture().Graphic());
        animated = gif && gif->FrameCount() > 1;
    }
    ASSERT_TRUE(animated) << "the sample disc has animated schemes";
    harness->Wait(300); // the painter runs and hands frames over

    // Close as the close mark does, with the animation still running. A hang would stop the whole
    // test program, so a watchdog ends it with a message instead.
    std::promise<void> closed;
    std::thread watchdog([done = closed.get_future()]() mutable {
        if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
            std::fprintf(stderr, "closing with an animation running hangs\n");
            std::_Exit(1);
        }
    });
    auto started = std::chrono::steady_clock::now();
    harness->Execute("quit", out, err);
    harness.reset();
    auto took = std::chrono::steady_clock::now() - started;
    closed.set_value();
    watchdog.join();
    EXPECT_LT(took, std::chrono::seconds(5));
}

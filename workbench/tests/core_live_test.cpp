#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/scripted_grabber.h"
#include "workbench/core/live_control.h"

namespace {

class Document : public LiveTarget {
public:
    Vobject* FrameImage() override { return &image; }
    long FrameGrabber() const override { return 7; }
    Vobject image;
};

// Timers without a clock: the test ticks them by hand.
class Window : public LiveWindow {
public:
    void SetTimer(int id, int milliseconds) override { armed[id] = milliseconds; }
    void KillTimer(int id) override { armed.erase(id); }
    void ShowFrame(const Vobject&) override { ++shown; }
    std::map<int, int> armed; // id -> period in ms
    int shown = 0;
};

class LiveControlTest : public ::testing::Test {
protected:
    ScriptedGrabber grabber;
    Document doc;
    Window window;
    // Ids other than the program's 98 and 99: the loop uses the ones given.
    LiveControl live{grabber, {21, 22}, [](const std::string&) {}};

    // The loop started and its start tick past: the grab timer armed.
    void StartLoopAndTick()
    {
        live.StartLoop(doc, window);
        live.OnTimer(21, 3);
    }
};

TEST_F(LiveControlTest, TheStartTickArmsTheGrabTimerAndOtherTicksDoNothing)
{
    // No document acquiring, sources 0 and 1, the program's own ids, and a
    // document acquiring without the loop.
    live.OnTimer(22, 3);
    live.StartLoop(doc, window);
    EXPECT_EQ(window.armed, (std::map<int, int>{{21, 300}}));
    live.OnTimer(21, 3);
    EXPECT_EQ(window.armed, (std::map<int, int>{{22, 1}}));
    for (int source : {0, 1})
        live.OnTimer(22, source);
    live.OnTimer(98, 3);
    live.OnTimer(99, 3);
    live.Acquire(doc);
    live.OnTimer(22, 3);
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_EQ(window.shown, 0);
}

TEST_F(LiveControlTest, ATickDuringAGrabIsIgnored)
{
    StartLoopAndTick();
    grabber.duringGrab = [this] {
        EXPECT_TRUE(live.IsBusy());
        live.OnTimer(22, 3);
        live.OnTimer(21, 3);
    };
    live.OnTimer(22, 3);
    EXPECT_EQ(grabber.grabs, 1);
    EXPECT_EQ(window.armed, (std::map<int, int>{{22, 1}}));
    EXPECT_FALSE(live.IsBusy());
}

TEST_F(LiveControlTest, AGrabThatThrowsLeavesTheLoopReadyForTheNextTick)
{
    StartLoopAndTick();
    grabber.duringGrab = [] { throw VException(VERR_FG_IMAGE, "grab_image: test"); };
    EXPECT_THROW(live.OnTimer(22, 3), VException);
    EXPECT_FALSE(live.IsBusy());
    grabber.duringGrab = nullptr;
    live.OnTimer(22, 3);
    EXPECT_EQ(grabber.grabs, 2);
    EXPECT_EQ(window.shown, 1);
}

TEST_F(LiveControlTest, EndingWithoutALastFrame)
{
    // The loop's timers are killed; a document acquiring without the loop
    // has none. Either way the grabbers close and nothing is grabbed.
    StartLoopAndTick();
    live.End();
    EXPECT_TRUE(window.armed.empty());
    live.Acquire(doc);
    EXPECT_EQ(live.Target(), &doc);
    live.End();
    EXPECT_EQ(live.Target(), nullptr);
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_EQ(grabber.closes, 2);
}

} // namespace

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "live_control.h"
#include "scripted_grabber.h"

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
    std::vector<std::string> told;
    LiveControl live{grabber, {98, 99}, [this](const std::string& text) { told.push_back(text); }};
};

TEST_F(LiveControlTest, StartDelayThenOneGrabPerTickThenALastFrameAtTheStop)
{
    live.StartLoop(doc, window);
    EXPECT_EQ(live.Target(), &doc);
    EXPECT_EQ(window.armed, (std::map<int, int>{{98, 300}}));
    live.OnTimer(98, 3);
    EXPECT_EQ(window.armed, (std::map<int, int>{{99, 1}}));
    EXPECT_EQ(grabber.grabs, 0);
    live.OnTimer(99, 3);
    live.OnTimer(99, 8);
    EXPECT_EQ(grabber.grabs, 2);
    EXPECT_EQ(grabber.lastHandle, 7);
    EXPECT_EQ(window.shown, 2);
    live.StopLoop();
    EXPECT_TRUE(window.armed.empty());
    EXPECT_EQ(grabber.grabs, 3);
    EXPECT_EQ(grabber.closes, 1);
    EXPECT_EQ(live.Target(), nullptr);
    EXPECT_TRUE(told.empty());
}

TEST_F(LiveControlTest, TicksThatDoNothing)
{
    // No document acquiring, sources 0 and 1, another timer's id, and a
    // document acquiring without the loop.
    live.OnTimer(99, 3);
    live.StartLoop(doc, window);
    live.OnTimer(98, 3);
    for (int source : {0, 1})
        live.OnTimer(99, source);
    live.OnTimer(5, 3);
    live.Acquire(doc);
    live.OnTimer(99, 3);
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_EQ(window.shown, 0);
}

TEST_F(LiveControlTest, ATickDuringAGrabIsIgnored)
{
    live.StartLoop(doc, window);
    live.OnTimer(98, 3);
    grabber.duringGrab = [this] {
        EXPECT_TRUE(live.IsBusy());
        live.OnTimer(99, 3);
        live.OnTimer(98, 3);
    };
    live.OnTimer(99, 3);
    EXPECT_EQ(grabber.grabs, 1);
    EXPECT_EQ(window.armed, (std::map<int, int>{{99, 1}}));
    EXPECT_FALSE(live.IsBusy());
}

TEST_F(LiveControlTest, AFailedGrabEndsTheAcquisitionWithAMessageAndKeepsTheLastFrame)
{
    live.StartLoop(doc, window);
    live.OnTimer(98, 3);
    live.OnTimer(99, 3);
    grabber.results = {5322};
    live.OnTimer(99, 3);
    EXPECT_TRUE(window.armed.empty());
    EXPECT_EQ(live.Target(), nullptr);
    EXPECT_EQ(grabber.closes, 1);
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(told, std::vector<std::string>{"Erreur sur fonction Acq. permanente !\nVérifier "
                                             "votre caméra (shutter, diaphragme, ..."});
    EXPECT_FALSE(doc.image.empty());
}

TEST_F(LiveControlTest, AGrabThatThrowsLeavesTheLoopReadyForTheNextTick)
{
    live.StartLoop(doc, window);
    live.OnTimer(98, 3);
    grabber.duringGrab = [] { throw VException(VERR_FG_IMAGE, "grab_image: test"); };
    EXPECT_THROW(live.OnTimer(99, 3), VException);
    EXPECT_FALSE(live.IsBusy());
    grabber.duringGrab = nullptr;
    live.OnTimer(99, 3);
    EXPECT_EQ(grabber.grabs, 2);
    EXPECT_EQ(window.shown, 1);
}

TEST_F(LiveControlTest, EndingWithoutALastFrame)
{
    // The loop's timers are killed; a document acquiring without the loop
    // has none. Either way the grabbers close and nothing is grabbed.
    live.StartLoop(doc, window);
    live.OnTimer(98, 3);
    live.End();
    EXPECT_TRUE(window.armed.empty());
    live.Acquire(doc);
    EXPECT_EQ(live.Target(), &doc);
    live.End();
    EXPECT_EQ(live.Target(), nullptr);
    EXPECT_EQ(grabber.grabs, 0);
    EXPECT_EQ(grabber.closes, 2);
}

TEST_F(LiveControlTest, TheTimerIdsAreTheOnesGiven)
{
    LiveControl other(grabber, {3, 4}, [](const std::string&) {});
    other.StartLoop(doc, window);
    other.OnTimer(98, 3);
    EXPECT_EQ(window.armed, (std::map<int, int>{{3, 300}}));
    other.OnTimer(3, 3);
    other.OnTimer(4, 3);
    EXPECT_EQ(window.armed, (std::map<int, int>{{4, 1}}));
    EXPECT_EQ(grabber.grabs, 1);
}

} // namespace

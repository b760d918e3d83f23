#include <condition_variable>
#include <mutex>
#include <thread>

#include "zephon_test_support.h"
#include <analogue/frame_copy.h>
#include <dvl/packet.h>

namespace {

using ZephonGrab = ZephonTest;

// Band `band` of pixel (x, y) of frame `frame` of the simulated boards.
uint8_t Pattern(int x, int y, int frame, int band = 0)
{
    return uint8_t(x / 2 + y / 2 + 4 * frame + 85 * band);
}

int GrabStarts()
{
    int starts = 0;
    for (const auto& packet : dvl::BrnReceivedPackets())
        starts += dvl::Load<uint32_t>(packet.data() + dvl::kCodeOffset) == dvl::kCommandGrabStart;
    return starts;
}

TEST_F(ZephonGrab, SuccessiveGrabsDeliverChangingGreyFrames)
{
    FGInstance& i = Opened();
    for (int frame = 0; frame < 3; ++frame) {
        Images images;
        ASSERT_TRUE(GrabsOne(i, images, BYTE_IMAGE, 768, 576));
        EXPECT_EQ(images.Byte(0, 10, 20), Pattern(10, 20, frame));
        EXPECT_EQ(images.Byte(0, 767, 575), Pattern(767, 575, frame));
    }
}

TEST_F(ZephonGrab, DeepMonochromeFramesAreMaskedToTheDigitizersBits)
{
    for (int32_t type : {24, 50}) {
        dvl::SimulatedBoard board = Board(type);
        board.formats["D_MONO10"] = {768, 576, 1, 10};
        dvl::RegisterBoard(board);
        FGInstance& i = Opened("D_MONO10");
        EXPECT_EQ(i.bits_per_channel, 10);
        Images images;
        ASSERT_EQ(Grab(i, images), FG_SUCCESS);
        EXPECT_EQ(images.record[0].kind, UINT2_IMAGE);
        EXPECT_EQ(Word(images, 700, 500), (700 / 2 + 500 / 2) & 0x3FF) << type;
        CloseAll();
    }
}

TEST_F(ZephonGrab, ColourDigitizersGiveGreyOrThreeBandsAndMonochromeIsRepeated)
{
    FGInstance& grey = Opened("D_CCIR_VIA_RGB", "ZEPHON_II:0", "gray");
    Images one;
    ASSERT_EQ(Grab(grey, one), FG_SUCCESS);
    const uint8_t bgr[3] = {Pattern(5, 7, 0, 2), Pattern(5, 7, 0, 1), Pattern(5, 7, 0, 0)};
    uint8_t expected = 0;
    zephon::GreyFromPackedBgr(bgr, &expected, 1);
    EXPECT_EQ(one.Byte(0, 5, 7), expected);
    CloseAll();

    FGInstance& colour = Opened("D_PAL_RGB", "ZEPHON_II:0", "rgb");
    Images three;
    ASSERT_EQ(Grab(colour, three), FG_SUCCESS);
    ASSERT_EQ(three.count, 3);
    for (int band = 0; band < 3; ++band)
        EXPECT_EQ(three.Byte(band, 9, 4), Pattern(9, 4, 0, band)) << band;
    CloseAll();

    FGInstance& mono = Opened("D_NTSC", "ZEPHON_II:0", "rgb");
    Images repeated;
    ASSERT_EQ(Grab(mono, repeated), FG_SUCCESS);
    ASSERT_EQ(repeated.count, 3);
    EXPECT_EQ(repeated.record[0].width, 640);
    for (int band = 0; band < 3; ++band)
        EXPECT_EQ(repeated.Byte(band, 600, 400), Pattern(600, 400, 0)) << band;
}

TEST_F(ZephonGrab, AnAsynchronousGrabWithinItsDelayIsTakenLaterOneIsFresh)
{
    // A delay beyond 32 bits is no limit: the running grab's frame 1 is taken.
    const struct {
        double delay;
        int frame;
    } cases[] = {{100.0, 2}, {3e9, 1}, {1e300, 1}};
    for (const auto& c : cases) {
        FGInstance& i = Opened();
        ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, c.delay), FG_SUCCESS);
        Images started;
        ASSERT_EQ(cls_.FGGrabAsync(1, &i, c.delay, started.record, &started.count), FG_SUCCESS);
        EXPECT_EQ(started.Byte(0, 0, 0), Pattern(0, 0, 0));
        EXPECT_EQ(i.async_grab, 0);
        clock_.Advance(std::chrono::milliseconds(150));
        Images later;
        ASSERT_EQ(cls_.FGGrabAsync(1, &i, c.delay, later.record, &later.count), FG_SUCCESS);
        EXPECT_EQ(later.Byte(0, 0, 0), Pattern(0, 0, c.frame)) << c.delay;
        CloseAll();
    }
}

TEST_F(ZephonGrab, NoGrabStartsAfterAnAsynchronousOneWhenDisabled)
{
    for (const char* setting : {"enable", "disable"}) {
        FGInstance& i = Opened();
        ASSERT_EQ(Set(i, "start_async_after_grab_async", Text(setting)), FG_SUCCESS);
        dvl::BrnClearReceivedPackets();
        ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 100.0), FG_SUCCESS);
        Images images;
        ASSERT_EQ(cls_.FGGrabAsync(1, &i, 100.0, images.record, &images.count), FG_SUCCESS);
        EXPECT_EQ(GrabStarts(), setting[0] == 'e' ? 2 : 1) << setting;
        CloseAll();
    }
}

TEST_F(ZephonGrab, AGrabWithoutTriggerTimesOutAndIsAborted)
{
    FGInstance& i = Request();
    i.external_trigger = 1;
    ASSERT_EQ(Open(i), FG_SUCCESS);
    Images images;
    const auto before = clock_.Now();
    EXPECT_EQ(cls_.FGGrabAsync(1, &i, 100.0, images.record, &images.count), FG_ERR_TIMEOUT);
    EXPECT_GE(clock_.Now() - before, std::chrono::milliseconds(5000));
    EXPECT_FALSE(dvl::Digitizers()[0].grabbing);
    EXPECT_EQ(i.async_grab, 0);
}

// Virtual time that tells the test when a thread other than its own first
// reads it: the plug-in reads it just before a grab waits.
class WatchedClock final : public ondula::Clock {
public:
    Duration Now() const override
    {
        if (std::this_thread::get_id() != test_thread_) {
            std::lock_guard lock(mutex_);
            read_ = true;
            changed_.notify_all();
        }
        return time_.Now();
    }
    void SleepFor(Duration d) override { time_.SleepFor(d); }
    void WaitForOtherThread()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return read_; });
    }

private:
    const std::thread::id test_thread_ = std::this_thread::get_id();
    ondula::VirtualClock time_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable bool read_ = false;
};

TEST_F(ZephonGrab, AGrabAbortedWhileItWaitsEndsAtOnceWithATimeOut)
{
    using namespace std::chrono_literals;
    for (const bool by_other_instance : {false, true}) {
        WatchedClock clock;
        dvl::UseClock(clock);
        FGInstance& waiting = Request();
        waiting.external_trigger = 1;
        ASSERT_EQ(Open(waiting), FG_SUCCESS);
        FGInstance& other = Opened();
        if (by_other_instance) {
            ASSERT_EQ(cls_.FGGrabStartAsync(1, &waiting, 1000.0), FG_SUCCESS);
        }
        FGstatus status = FG_SUCCESS;
        std::thread grabbing([&] {
            Images images;
            status = by_other_instance
                         ? cls_.FGGrabAsync(1, &waiting, 1000.0, images.record, &images.count)
                         : Grab(waiting, images);
        });
        clock.WaitForOtherThread();
        Images images;
        const FGstatus aborting =
            by_other_instance ? Grab(other, images) : Set(waiting, "do_abort_grab", Int(0));
        EXPECT_EQ(aborting, FG_SUCCESS);
        grabbing.join();
        EXPECT_EQ(status, FG_ERR_TIMEOUT) << by_other_instance;
        EXPECT_LT(clock.Now(), 5000ms) << "waited for the time-out " << by_other_instance;
        CloseAll();
        dvl::UseClock(clock_);
    }
}

TEST_F(ZephonGrab, ATriggeredGrabEndsAfterTheForcedTrigger)
{
    FGInstance& i = Request();
    i.external_trigger = 1;
    ASSERT_EQ(Open(i), FG_SUCCESS);
    ASSERT_EQ(Set(i, "trigger_source", Text("hw_port0")), FG_SUCCESS);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 1000.0), FG_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(dvl::Digitizers()[0].grabbing);
    ASSERT_EQ(Set(i, "do_force_trigger", Int(0)), FG_SUCCESS);
    EXPECT_EQ(Get(i, "trigger_source"), "software");
    Images images;
    ASSERT_EQ(cls_.FGGrabAsync(1, &i, 1000.0, images.record, &images.count), FG_SUCCESS);
    EXPECT_EQ(images.Byte(0, 0, 0), Pattern(0, 0, 0));

    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 1000.0), FG_SUCCESS);
    dvl::FireHardwareTrigger();
    Images hardware;
    ASSERT_EQ(cls_.FGGrabAsync(1, &i, 1000.0, hardware.record, &hardware.count), FG_SUCCESS);
}

TEST_F(ZephonGrab, ImageCreationFailureIsTheGrabsResult)
{
    FGInstance& i = Opened();
    i.image_width = -1;
    Images images;
    EXPECT_NE(Grab(i, images), FG_SUCCESS);
}

} // namespace

#include <clock/clock.h>
#include <clock/frame_pacer.h>

#include <thread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace ondula {

TEST(VirtualClock, MovesOnlyBySleepsAndAdvancesFromEveryThread)
{
    VirtualClock clock(5ms);
    EXPECT_EQ(clock.Now(), 5ms);
    clock.SleepFor(20ms);
    clock.Advance(-3ms);
    clock.SleepFor(0ms);
    EXPECT_EQ(clock.Now(), 25ms);
    std::thread other([&] {
        for (int i = 0; i < 1000; ++i)
            clock.SleepFor(1us);
    });
    for (int i = 0; i < 1000; ++i)
        clock.Advance(1us);
    other.join();
    EXPECT_EQ(clock.Now(), 27ms);
}

TEST(Deadline, ExpiresWhenItsClockReachesIt)
{
    VirtualClock clock;
    const Deadline deadline(clock, 40ms);
    clock.Advance(39ms);
    EXPECT_FALSE(deadline.Expired());
    EXPECT_EQ(deadline.Remaining(), 1ms);
    clock.Advance(1ms);
    EXPECT_TRUE(deadline.Expired());
    EXPECT_EQ(deadline.Remaining(), 0ms);
}

TEST(FramePacer, EachFrameComesAPeriodAfterTheOneBeforeUnlessTheCallerIsLate)
{
    VirtualClock clock;
    FramePacer pacer(clock, 40ms);
    struct Step {
        Clock::Duration busy; // the caller's own time before it asks
        Clock::Duration due;  // when the frame comes
    };
    for (const Step& s : {Step{0ms, 0ms}, Step{0ms, 40ms}, Step{15ms, 80ms}, Step{100ms, 180ms},
                          Step{0ms, 220ms}}) {
        clock.Advance(s.busy);
        pacer.WaitForFrame();
        EXPECT_EQ(clock.Now(), s.due);
    }
}

TEST(SteadyClock, SleepsAtLeastTheTimeAsked)
{
    Clock& clock = SteadyClock();
    const auto before = clock.Now();
    clock.SleepFor(2ms);
    EXPECT_GE(clock.Now() - before, 2ms);
}

} // namespace ondula

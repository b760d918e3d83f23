// VFGKandrisAcquire loaded by the host, opened as the workbench opens sources 6 and 7.
#include <gtest/gtest.h>

#include <future>

#include "lending_host.h"
#include "tests/support/host_plugin_checks.h"
#include <fgint/fgint.h>
#include <kddevmgr/simulation.h>
#include <verodyn/verodyn.h>

namespace {

class UsbcamHostTest : public HostPluginTest {
protected:
    void SetUp() override
    {
        kdsim::UseClock(clock_);
        kdsim::ConfigureFromEnvironment();
        HostPluginTest::SetUp();
    }

    void TearDown() override
    {
        HostPluginTest::TearDown();
        EXPECT_EQ(kdsim::Count().users, 0);
        EXPECT_EQ(kdsim::Count().locked, 0);
        kdsim::UseSteadyClock();
    }

    ondula::VirtualClock clock_;
};

TEST_F(UsbcamHostTest, WorkbenchValuesGiveLiveFrames)
{
    struct Case {
        int width, height;
        const char* device;
        int channels;
    };
    for (const Case& c : {Case{1280, 1024, "0", 1}, Case{640, 480, "1", 3}}) {
        long handle = 0;
        ASSERT_EQ(open_framegrabber("KandrisAcquire", 1, 1, 0, 0, 0, 0, "default", -1, "default",
                                    15.0, "false", "kdLyra*", c.device, 0, -1, &handle),
                  V_OK);
        // The workbench sets these three and looks at none of the results.
        EXPECT_EQ(set_framegrabber_param(handle, "ImageHeight", VTuple(c.height)), 5321);
        EXPECT_EQ(set_framegrabber_param(handle, "ImageWidth", VTuple(c.width)), 5321);
        ASSERT_EQ(set_framegrabber_param(handle, "Camera/Expose_us", VTuple(20000)), V_OK);
        VTuple gain;
        ASSERT_EQ(get_framegrabber_param(handle, "Camera/Gain_dB", &gain), V_OK);
        EXPECT_EQ(gain, VTuple(15.0));
        std::vector<uint8_t> frames[2];
        for (int f = 0; f < 2; ++f) {
            frames[f] = GrabBytePlane(handle, c.width, c.height, c.channels);
            ASSERT_FALSE(frames[f].empty());
            // Grey, or red: from row 1 on, as row 0 begins with the frame's stamp.
            const auto mono = [f](int x, int y) { return uint8_t(x + 3 * y + 7 * f + 200); };
            EXPECT_EQ(WrongPixels(frames[f], c.width, c.height, mono, 1), 0) << "frame " << f;
        }
        EXPECT_NE(frames[0], frames[1]);
        EXPECT_EQ(close_framegrabber(handle), V_OK);
    }
}

TEST_F(UsbcamHostTest, TwoCamerasOnTwoThreads)
{
    long handles[2] = {};
    for (const char* device : {"0", "1"})
        ASSERT_EQ(open_framegrabber("KandrisAcquire", 1, 1, 0, 0, 0, 0, "default", -1, "default",
                                    15.0, "false", "kdLyra*", device, 0, -1,
                                    &handles[device[0] - '0']),
                  V_OK);
    ExpectCallsOnTwoThreads({handles[0], "Camera/Gain_dB", "Camera/Expose_us", VTuple(20000)},
                            {handles[1], "Camera/Gain_dB", "Camera/Expose_us", VTuple(10000)}, 400);
}

TEST_F(UsbcamHostTest, AnInstanceOpenedWhileTheOnlyOneLendsItsFrameCannotRefillItBeforeTheCopy)
{
    constexpr int kWidth = 1280, kHeight = 1024;
    const auto open = [](long* handle) {
        return open_framegrabber("KandrisAcquire", 1, 1, 0, 0, 0, 0, "default", -1, "default", 1.0,
                                 "false", "kdLyra*", "0", 0, -1, handle);
    };
    long only = 0, second = 0;
    ASSERT_EQ(open(&only), V_OK);
    ASSERT_EQ(set_framegrabber_param(only, "volatile", VTuple("enable")), V_OK);
    // The second instance opens and grabs once the camera's only instance has
    // decided to lend its buffer, while the host has still to copy it.
    std::future<std::vector<uint8_t>> other;
    g_before_lending = [&] {
        other = std::async(std::launch::async, [&] {
            EXPECT_EQ(open(&second), V_OK);
            return GrabBytePlane(second, kWidth, kHeight);
        });
    };
    const std::vector<uint8_t> lent = GrabBytePlane(only, kWidth, kHeight);
    ASSERT_TRUE(other.valid());
    const std::vector<uint8_t> refilled = other.get();
    ASSERT_FALSE(lent.empty());
    ASSERT_FALSE(refilled.empty());
    for (const auto& [frame, f] : {std::pair(&lent, 0), std::pair(&refilled, 1)}) {
        const auto mono = [f](int x, int y) { return uint8_t(x + 3 * y + 7 * f + 200); };
        EXPECT_EQ(WrongPixels(*frame, kWidth, kHeight, mono, 1), 0) << "frame " << f;
    }
}

TEST_F(UsbcamHostTest, AbortFromAnotherThreadEndsAGrabWaitingOnItsCamera)
{
    using namespace std::chrono_literals;
    GatedClock gate;
    kdsim::UseClock(gate);
    long handle = 0;
    ASSERT_EQ(open_framegrabber("KandrisAcquire", 1, 1, 0, 0, 0, 0, "default", -1, "default", 1.0,
                                "false", "kdLyra*", "0", 0, -1, &handle),
              V_OK);
    EXPECT_EQ(GrabAbortedWhileItWaits(handle, gate), FG_ERR_GRAB);
    EXPECT_EQ(gate.Now(), 10ms) << "one wait, cut short";
    EXPECT_EQ(close_framegrabber(handle), V_OK);
    kdsim::UseClock(clock_);
}

} // namespace

// VFG1394IIDC loaded by the host, opened as the workbench opens source 5.
#include <gtest/gtest.h>

#include "tests/support/host_plugin_checks.h"
#include <fgcamera/simulation.h>
#include <fgint/fgint.h>
#include <verodyn/verodyn.h>

namespace {

class IidcHostTest : public HostPluginTest {
protected:
    static void SetUpTestSuite()
    {
        fgsim::UseClock(clock_, 0);
        fgsim::Configure({fgsim::MonoCamera(0), fgsim::ColourCamera(1)});
    }

    void TearDown() override
    {
        HostPluginTest::TearDown();
        EXPECT_EQ(fgsim::Count().connected, 0);
        EXPECT_EQ(fgsim::Count().queued, 0);
    }

    static inline ondula::VirtualClock clock_{ondula::Clock::Duration::zero()};
};

TEST_F(IidcHostTest, WorkbenchCameraTypesGiveLiveFrames)
{
    std::string text;
    VTuple boards;
    ASSERT_EQ(info_framegrabber("1394IIDC", "info_boards", &text, &boards), V_OK);
    EXPECT_EQ(boards.length(), 2u);
    struct Case {
        const char* camera_type;
        int width, height;
    };
    for (const Case& c :
         {Case{"0:5:4", 640, 480}, Case{"1:2:2", 800, 600}, Case{"1:5:4", 1024, 768}}) {
        long handle = 0;
        ASSERT_EQ(open_framegrabber("1394IIDC", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1,
                                    "default", c.camera_type, "default", -1, -1, &handle),
                  V_OK)
            << c.camera_type;
        std::vector<uint8_t> frames[2];
        for (int f = 0; f < 2; ++f) {
            frames[f] = GrabBytePlane(handle, c.width, c.height);
            ASSERT_FALSE(frames[f].empty());
            const auto y8 = [f](int x, int y) { return uint8_t(x + 3 * y + 7 * f + 500); };
            EXPECT_EQ(WrongPixels(frames[f], c.width, c.height, y8), 0)
                << c.camera_type << " frame " << f;
        }
        EXPECT_NE(frames[0], frames[1]);
        EXPECT_EQ(close_framegrabber(handle), V_OK);
    }
}

TEST_F(IidcHostTest, TwoCamerasOnTwoThreads)
{
    long handles[2] = {};
    for (long& handle : handles)
        ASSERT_EQ(open_framegrabber("1394IIDC", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1,
                                    "default", "default", "-1", -1, -1, &handle),
                  V_OK);
    ExpectCallsOnTwoThreads({handles[0], "Shutter", "Shutter", VTuple(400)},
                            {handles[1], "Shutter", "Shutter", VTuple(300)}, 400);
}

TEST_F(IidcHostTest, AbortFromAnotherThreadEndsAGrabWaitingOnItsCamera)
{
    using namespace std::chrono_literals;
    GatedClock gate;
    fgsim::UseClock(gate, 0);
    long handle = 0;
    ASSERT_EQ(open_framegrabber("1394IIDC", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1,
                                "default", "0:5:4", "default", -1, -1, &handle),
              V_OK);
    EXPECT_EQ(GrabAbortedWhileItWaits(handle, gate), FG_ERR_TIMEOUT);
    EXPECT_EQ(gate.Now(), 10ms) << "one wait, cut short";
    EXPECT_EQ(close_framegrabber(handle), V_OK);
    fgsim::UseClock(clock_, 0);
}

} // namespace

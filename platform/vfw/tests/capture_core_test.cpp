#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/scoped_setting.h"
#include <vfw/capture_core.h>
#include <vfw/simulated_webcam.h>

namespace {

using namespace std::chrono_literals;

// A driver that gives `frames` one by one, then nothing new.
class Frames : public vfw::CaptureDriver {
public:
    explicit Frames(std::vector<vfw::Frame> frames) : frames_(std::move(frames)) { }
    bool NextFrame(vfw::Frame& into) override
    {
        if (next_ >= frames_.size())
            return false;
        into = frames_[next_++];
        return true;
    }

private:
    std::vector<vfw::Frame> frames_;
    std::size_t next_ = 0;
};

// 2 x 1: red, then (1, 2, 3).
vfw::Frame TwoPixels() { return {2, 1, {255, 0, 0, 1, 2, 3}}; }

class Core : public ::testing::Test {
protected:
    void SetUp() override
    {
        vfw::SetDriverFactory([](int index) -> std::unique_ptr<vfw::CaptureDriver> {
            if (index != 0)
                return nullptr;
            return std::make_unique<Frames>(std::vector<vfw::Frame>{TwoPixels(), TwoPixels()});
        });
    }
    void TearDown() override { vfw::SetDriverFactory(nullptr); }
};

TEST_F(Core, FramesAreShownScaledOrOneToOneAndReadBackAsColourReferences)
{
    struct Case {
        bool scale;
        std::vector<uint32_t> row0, row1; // Pixel(x, y) of a 4 x 2 window
    };
    for (const Case& c :
         {Case{true, {0xFF, 0xFF, 0x030201, 0x030201}, {0xFF, 0xFF, 0x030201, 0x030201}},
          Case{false, {0xFF, 0x030201, 0, 0}, {0, 0, 0, 0}}}) {
        vfw::CaptureCore core(4, 2);
        ASSERT_TRUE(core.DriverConnect(0));
        core.SetScale(c.scale);
        core.SetPreview(true);
        EXPECT_TRUE(core.PreviewTick());
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(core.Pixel(x, 0), c.row0[x]) << c.scale << x;
            EXPECT_EQ(core.Pixel(x, 1), c.row1[x]) << c.scale << x;
        }
        for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 2}})
            EXPECT_EQ(core.Pixel(x, y), 0u);
    }
}

TEST_F(Core, PreviewRunsOnlyWhileConnectedAndAGrabEndsIt)
{
    vfw::CaptureCore none(2, 1);
    EXPECT_FALSE(none.DriverConnect(1));
    none.SetPreview(true);
    EXPECT_FALSE(none.Previewing());
    EXPECT_FALSE(none.GrabFrame());

    vfw::CaptureCore core(2, 1);
    ASSERT_TRUE(core.DriverConnect(0));
    core.SetPreviewRate(15);
    EXPECT_EQ(core.PreviewRate(), 15);
    EXPECT_FALSE(core.PreviewTick()); // not previewing yet
    core.SetPreview(true);
    EXPECT_TRUE(core.PreviewTick());
    EXPECT_TRUE(core.GrabFrame()); // the second frame
    EXPECT_FALSE(core.Previewing());
    EXPECT_TRUE(core.GrabFrame()); // no new frame: the picture stays
    EXPECT_EQ(core.Pixel(1, 0), 0x030201u);
    core.DriverDisconnect();
    EXPECT_FALSE(core.Connected());
    EXPECT_EQ(core.Pixel(0, 0), 0xFFu);
}

TEST(SimulatedWebcam, GivesANewMovingPictureEachFramePeriod)
{
    ondula::VirtualClock clock;
    vfw::SimulatedWebcam camera(64, 48, clock, 33ms);
    vfw::Frame first, second;
    ASSERT_TRUE(camera.NextFrame(first));
    EXPECT_EQ(first.rgb.size(), 64u * 48u * 3u);
    clock.Advance(32ms);
    EXPECT_FALSE(camera.NextFrame(second));
    clock.Advance(1ms);
    ASSERT_TRUE(camera.NextFrame(second));
    EXPECT_NE(first.rgb, second.rgb);
}

TEST(Drivers, TheEnvironmentSwitchForcesTheSimulatedWebcam)
{
    const ScopedVariable simulated("ONDULA_VFW_SIMULATED", "1");
    auto driver = vfw::OpenDriver(0);
    EXPECT_NE(dynamic_cast<vfw::SimulatedWebcam*>(driver.get()), nullptr);
    EXPECT_EQ(vfw::OpenDriver(1), nullptr);
}

} // namespace

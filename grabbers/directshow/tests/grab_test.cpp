#include <thread>

#include "plugin_fixture.h"

namespace {

using namespace dshow;
using namespace std::chrono_literals;
using GrabTest = PluginTest;

TEST_F(GrabTest, SynchronousGrabsWaitForAFreshSample)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    Planes planes;
    ASSERT_EQ(Grab(inst, &planes), FG_SUCCESS);
    ASSERT_EQ(planes.size(), 3u);
    EXPECT_EQ(planes[0].size(), 640u * 480u);
    EXPECT_EQ(FrameOf(planes), 0u);
    EXPECT_EQ(sim::Pump(0), 1) << "a sample no grab waits for";
    ASSERT_EQ(Grab(inst, &planes), FG_SUCCESS);
    EXPECT_EQ(FrameOf(planes), 2u);
}

TEST_F(GrabTest, AsynchronousGrabTakesASampleYoungerThanTheMaximumDelay)
{
    FGInstance* inst = Open("PAL RGB24 (320x240)", "0", "gray");
    int waits = 0;
    SetEventWaitHook([&] {
        ++waits;
        sim::Pump(0);
    });
    ASSERT_EQ(cls_.FGGrabStartAsync(1, inst, 100.4), FG_SUCCESS);
    sim::Pump(0);
    clock_.Advance(100ms);
    Planes planes;
    ASSERT_EQ(Grab(inst, &planes, 100.4), FG_SUCCESS);
    EXPECT_EQ(FrameOf(planes), 0u);
    EXPECT_EQ(waits, 0) << "at once";
    EXPECT_EQ(inst->async_grab, 0);
    sim::Pump(0);
    clock_.Advance(101ms);
    ASSERT_EQ(Grab(inst, &planes, 100.4), FG_SUCCESS);
    EXPECT_EQ(FrameOf(planes), 2u) << "frame 1 is too old";
    EXPECT_EQ(waits, 1);
}

TEST_F(GrabTest, NoSampleWithinTheTimeout)
{
    FGInstance* inst = Open();
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.silent = true; });
    Vcpar timeout{};
    timeout.par.l = 100;
    timeout.type = VPAR_INT;
    ASSERT_EQ(cls_.FGSetParam(1, inst, "grab_timeout", &timeout, 1), FG_SUCCESS);
    PumpWhileWaiting({0});
    const auto start = clock_.Now();
    EXPECT_EQ(Grab(inst), FG_ERR_TIMEOUT);
    EXPECT_EQ(clock_.Now() - start, 100ms);
    EXPECT_EQ(Grab(inst, nullptr, 50), FG_ERR_TIMEOUT);
    EXPECT_EQ(inst->async_grab, 0) << "cleared on failure too";
    FGInstance closed = *inst;
    Close(inst);
    EXPECT_EQ(Grab(&closed), FG_ERR_NOT_OPEN);
    EXPECT_EQ(cls_.FGGrabStartAsync(1, &closed, 10), FG_ERR_NOT_OPEN);
    EXPECT_EQ(Grab(&closed, nullptr, 10), FG_ERR_NOT_OPEN);
}

TEST_F(GrabTest, TwoInstancesAtOnceAndEverySubtypeTheCameraOffers)
{
    FGInstance* card = Open("NTSC_M UYVY (640x480)", "1", "rgb");
    FGInstance* camera = Open("PAL YUV411 (640x480)", "0", "gray");
    PumpWhileWaiting({0, 1});
    Planes planes;
    ASSERT_EQ(Grab(card, &planes), FG_SUCCESS);
    EXPECT_EQ(planes.size(), 3u);
    EXPECT_EQ(planes[0].size(), 640u * 480u);
    EXPECT_EQ(FrameOf(planes), 0u);
    ASSERT_EQ(Grab(camera, &planes), FG_SUCCESS) << "4:1:1 samples fit the frame buffers";
    EXPECT_EQ(planes.size(), 1u);
    EXPECT_EQ(FrameOf(planes), 0u) << "the camera was not running while the card's grab waited";
    Close(camera);
    Close(card);

    for (const char* type :
         {"RGB32 (320x240)", "RGB565 (320x240)", "RGB555 (320x240)", "RGB8 (320x240)",
          "Y800 (320x240)", "UYVY (320x240)", "YUV41P (320x240)"}) {
        FGInstance* inst = Open(type);
        const uint32_t next = sim::NextFrameNumber(0);
        ASSERT_EQ(Grab(inst, &planes), FG_SUCCESS) << type;
        EXPECT_EQ(FrameOf(planes), next) << type;
        Close(inst);
    }
}

TEST_F(GrabTest, SamplesThatDoNotFitAFrameFailTheGrab)
{
    // The device's buffers are a byte longer than a frame.
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.sample_extra = 1; });
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    for (const int32_t extra : {1, -1, 0}) {
        sim::ConfigureDevice(0, [&](sim::DeviceConfig& d) { d.sample_extra = extra; });
        EXPECT_EQ(Grab(inst), extra ? FG_ERR_GRAB : FG_SUCCESS) << extra;
    }
}

TEST_F(GrabTest, GraphThatWillNotRunOrStop)
{
    FGInstance* inst = Open();
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.run_fails = true; });
    std::string printed = Messages([&] { EXPECT_EQ(Grab(inst), FG_ERR_TIMEOUT); });
    EXPECT_EQ(printed, "Error in TriggerGrab(): IAMVideoControl::Run() failed! (error 80004005)\n");

    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.state_stuck = true; });
    Vcpar any{};
    const auto start = clock_.Now();
    printed = Messages([&] {
        EXPECT_EQ(cls_.FGSetParam(1, inst, "do_stop_grabbing", &any, 1), FG_ERR_DEVICE_CALL);
    });
    EXPECT_GE(clock_.Now() - start, 5s);
    EXPECT_LT(clock_.Now() - start, 5100ms);
    EXPECT_EQ(printed,
              "Error in StopGrabbing(): IAMVideoControl::Stop() failed! (error    40237)\n");
    Messages([&] { Close(inst); });
}

TEST_F(GrabTest, CloseWhileTheDeviceStreamsOnAfterAFailedStop)
{
    UsePlatformClock(nullptr);
    sim::DeviceConfig camera = sim::SimulatedCamera();
    camera.formats[0].frame_interval = 10000;
    sim::SetDevices({camera});
    FGInstance* inst = Open();
    ASSERT_EQ(Grab(inst), FG_SUCCESS);
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.stop_fails = true; });
    Messages([&] { Close(inst); });
}

} // namespace

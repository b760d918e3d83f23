#include <gtest/gtest.h>

#include "tests/support/scoped_setting.h"
#include <fgcamera/simulation.h>

namespace {

using namespace std::chrono_literals;

constexpr uint64_t kFileTimeAtZero = 1000000000ull;

class FgCameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fgsim::UseClock(clock_, kFileTimeAtZero);
        fgsim::Configure({fgsim::MonoCamera(0), fgsim::ColourCamera(1)});
        ASSERT_EQ(FGInitModule(nullptr), FCE_NOERROR);
    }

    void TearDown() override
    {
        camera_.Disconnect();
        const fgsim::Counters counters = fgsim::Count();
        EXPECT_EQ(counters.connected, 0);
        EXPECT_EQ(counters.buffers, 0);
        fgsim::UseSteadyClock();
    }

    // Connects to camera `index`, capturing in `format` (DCAM code) from now.
    void Capture(int index, uint32_t format)
    {
        const UINT32HL guid = (index == 0 ? fgsim::MonoCamera(0) : fgsim::ColourCamera(1)).guid;
        ASSERT_EQ(camera_.Connect(&guid, nullptr), FCE_NOERROR);
        ASSERT_EQ(camera_.SetParameter(FGP_IMAGEFORMAT, format), FCE_NOERROR);
        ASSERT_EQ(camera_.OpenCapture(), FCE_NOERROR);
        ASSERT_EQ(camera_.StartDevice(), FCE_NOERROR);
    }

    ondula::VirtualClock clock_;
    CFGCamera camera_;
};

uint64_t Ticks(const FILETIME& t) { return uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

TEST_F(FgCameraTest, QueuedBuffersAreFilledInOrderAtTheModesRateAndStamped)
{
    Capture(0, 0x80000504); // 640 x 480 Y8 at 30 fps
    clock_.Advance(10ms);
    ASSERT_EQ(camera_.PutFrame(nullptr), FCE_NOERROR);
    ASSERT_EQ(camera_.PutFrame(nullptr), FCE_NOERROR);
    EXPECT_EQ(camera_.PutFrame(nullptr), FCE_NOBUFFER) << "two buffers at power-up";
    FGFRAME frame{};
    EXPECT_EQ(camera_.GetFrame(&frame, 0), FCE_TIMEOUT) << "time-out 0 only asks";
    EXPECT_EQ(camera_.GetFrame(nullptr, 30), FCE_NOERROR) << "waits, does not take";
    EXPECT_EQ(clock_.Now(), 33333333ns);
    for (uint32_t number = 0; number < 2; ++number) {
        ASSERT_EQ(camera_.GetFrame(&frame, 100), FCE_NOERROR);
        EXPECT_EQ(frame.Id, number);
        EXPECT_EQ(frame.Length, 640u * 480u);
        EXPECT_EQ(Ticks(frame.Time), kFileTimeAtZero + 333333 * (number + 1));
        // b = x + 3 y + 7 f + 500 (shutter)
        EXPECT_EQ(frame.pData[0], uint8_t(7 * number + 500));
        EXPECT_EQ(frame.pData[640 * 2 + 5], uint8_t(5 + 6 + 7 * number + 500));
        ASSERT_EQ(camera_.PutFrame(&frame), FCE_NOERROR);
    }
    EXPECT_EQ(camera_.PutFrame(&frame), FCE_BADPARAMETER) << "already given back";
    EXPECT_EQ(fgsim::Count().queued, 0);
    EXPECT_EQ(camera_.GetFrame(&frame, 50), FCE_TIMEOUT);
    EXPECT_EQ(clock_.Now(), 66666666ns + 50ms);
    const fgsim::Counters counters = fgsim::Count();
    EXPECT_EQ(counters.connects + counters.captures + counters.capturing + counters.buffers, 5);
}

TEST_F(FgCameraTest, EachCodingFollowsTheFormula)
{
    struct Case {
        uint32_t format;
        uint32_t offset;               // of pixel (5, 3)
        std::vector<uint8_t> expected; // b = 5 + 9 + 500 + 50 = 564 for the colour camera
    };
    const Case cases[] = {
        {0x80000304, 3 * 1280 + 8, {4 + 6 + 64, (564 - 1) & 0xFF, 4 + 3 + 192, 564 & 0xFF}},
        {0x80000204, 3 * 960 + 6, {4 + 6 + 64, (564 - 1) & 0xFF, 564 & 0xFF, 4 + 3 + 192}},
        {0x80000003, 3 * 480 + 15, {5 + 6 + 64, 564 & 0xFF, 5 + 3 + 192}},
        {0x80000404, 3 * 1920 + 15, {564 & 0xFF, (564 + 85) & 0xFF, (564 + 170) & 0xFF}},
    };
    for (const Case& c : cases) {
        Capture(1, c.format);
        FGFRAME frame{};
        ASSERT_EQ(camera_.PutFrame(nullptr), FCE_NOERROR);
        ASSERT_EQ(camera_.GetFrame(&frame, 1000), FCE_NOERROR);
        EXPECT_EQ(std::vector<uint8_t>(frame.pData + c.offset,
                                       frame.pData + c.offset + c.expected.size()),
                  c.expected)
            << std::hex << c.format;
        ASSERT_EQ(camera_.Disconnect(), FCE_NOERROR);
    }
}

TEST_F(FgCameraTest, ShutterAndGainScaleThePictureFromTheirDefaultsClippedAt255)
{
    struct Case {
        uint32_t shutter, gain;
        uint8_t first, at_22; // row 0 of frame 0: b = x + s
    };
    for (const Case& c :
         {Case{500, 100, 244, 10}, Case{500, 200, 255, 20}, Case{1000, 100, 255, 255},
          Case{500, 50, 122, 5}, Case{250, 100, 125, 8}}) {
        const UINT32HL guid = fgsim::MonoCamera(0).guid;
        ASSERT_EQ(camera_.Connect(&guid, nullptr), FCE_NOERROR);
        ASSERT_EQ(camera_.SetParameter(FGP_SHUTTER, c.shutter), FCE_NOERROR);
        ASSERT_EQ(camera_.SetParameter(FGP_GAIN, c.gain), FCE_NOERROR);
        ASSERT_EQ(camera_.OpenCapture(), FCE_NOERROR);
        ASSERT_EQ(camera_.StartDevice(), FCE_NOERROR);
        FGFRAME frame{};
        ASSERT_EQ(camera_.PutFrame(nullptr), FCE_NOERROR);
        ASSERT_EQ(camera_.GetFrame(&frame, 1000), FCE_NOERROR);
        EXPECT_EQ(frame.pData[0], c.first) << c.shutter << " " << c.gain;
        EXPECT_EQ(frame.pData[22], c.at_22) << c.shutter << " " << c.gain;
        ASSERT_EQ(camera_.Disconnect(), FCE_NOERROR);
    }
}

TEST_F(FgCameraTest, FormatsAreChosenInEitherNotationAndHeldWhileCapturing)
{
    const UINT32HL guid = fgsim::MonoCamera(0).guid;
    ASSERT_EQ(camera_.Connect(&guid, nullptr), FCE_NOERROR);
    struct Case {
        uint32_t request, result, answer;
    };
    const Case cases[] = {
        {0xFFFFFFFF, FCE_NOERROR, 0x80000504},      {0x0002FFFF, FCE_NOERROR, 0x00020004},
        {0x00040002, FCE_NOERROR, 0x00040002},      {0x80070000, FCE_NOERROR, 0x80070000},
        {0x80020004, FCE_NOTAVAILABLE, 0x80070000}, {0x00000000, FCE_NOTAVAILABLE, 0x80070000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(camera_.SetParameter(FGP_IMAGEFORMAT, c.request), c.result)
            << std::hex << c.request;
        uint32_t answer = 0;
        EXPECT_EQ(camera_.GetParameter(FGP_IMAGEFORMAT, &answer), FCE_NOERROR);
        EXPECT_EQ(answer, c.answer) << std::hex << c.request;
    }
    ASSERT_EQ(camera_.SetParameter(FGP_ENUMIMAGEFORMAT, 0), FCE_NOERROR);
    uint32_t format = 0;
    int firegrab_formats = 0;
    while (camera_.GetParameter(FGP_ENUMIMAGEFORMAT, &format) == FCE_NOERROR)
        ++firegrab_formats;
    EXPECT_EQ(firegrab_formats, 13) << "format 7 has no FireGrab notation";
    ASSERT_EQ(camera_.OpenCapture(), FCE_NOERROR);
    EXPECT_EQ(camera_.SetParameter(FGP_IMAGEFORMAT, 0x80000504), FCE_BUSY);
    EXPECT_EQ(camera_.SetParameter(FGP_XSIZE, 640), FCE_BUSY);
}

TEST_F(FgCameraTest, TriggeredCamerasDeliverOnlyOnTriggers)
{
    Capture(0, 0x80000504);
    ASSERT_EQ(camera_.SetParameter(FGP_TRIGGER, 0x02000000), FCE_NOERROR);
    EXPECT_EQ(camera_.SetParameter(FGP_TRIGGER, 0x02020000), FCE_NOTAVAILABLE) << "mode 2";
    ASSERT_EQ(camera_.PutFrame(nullptr), FCE_NOERROR);
    FGFRAME frame{};
    EXPECT_EQ(camera_.GetFrame(&frame, 500), FCE_TIMEOUT);
    ASSERT_EQ(camera_.SetParameter(FGP_DO_FASTTRIGGER, 0), FCE_NOERROR);
    ASSERT_EQ(camera_.GetFrame(&frame, 0), FCE_NOERROR);
    EXPECT_EQ(Ticks(frame.Time), kFileTimeAtZero + 5000000) << "at the trigger";
    ASSERT_EQ(camera_.PutFrame(&frame), FCE_NOERROR);
}

TEST_F(FgCameraTest, FaultsHitTheNthCall)
{
    fgsim::FailCall(fgsim::Call::SetParameter, 2, 42);
    const UINT32HL guid = fgsim::MonoCamera(0).guid;
    int context = 0;
    ASSERT_EQ(camera_.Connect(&guid, &context), FCE_NOERROR);
    EXPECT_EQ(camera_.GetContext(), &context);
    EXPECT_NE(camera_.GetPtrDCam(), nullptr);
    EXPECT_EQ(camera_.SetParameter(FGP_SHUTTER, 10), FCE_NOERROR);
    EXPECT_EQ(camera_.SetParameter(FGP_SHUTTER, 20), 42u);
    uint32_t shutter = 0;
    ASSERT_EQ(camera_.GetParameter(FGP_SHUTTER, &shutter), FCE_NOERROR);
    EXPECT_EQ(shutter, 10u) << "the failed call did nothing";
    CFGCamera second;
    EXPECT_EQ(second.Connect(&guid, nullptr), FCE_BUSY);
    EXPECT_EQ(second.GetPtrDCam(), nullptr);
}

TEST_F(FgCameraTest, TheEnvironmentNamesTheCameras)
{
    struct Case {
        const char* value;
        uint32_t result;
        uint32_t count;
    };
    const Case cases[] = {{"colour,mono,mono", FCE_NOERROR, 3},
                          {"", FCE_NOERROR, 0},
                          {"mono,webcam,,colour,", FCE_NOERROR, 2}};
    ScopedVariable cameras("ONDULA_FGCAMERA", nullptr);
    for (const Case& c : cases) {
        cameras.Set(c.value);
        fgsim::ConfigureFromEnvironment();
        EXPECT_EQ(FGInitModule(nullptr), c.result) << c.value;
        FGNODEINFO nodes[4] = {};
        uint32_t count = 0;
        if (c.result == FCE_NOERROR) {
            ASSERT_EQ(FGGetNodeList(nodes, 4, &count), FCE_NOERROR);
            EXPECT_EQ(FGExitModule(), FCE_NOERROR);
        }
        EXPECT_EQ(count, c.count) << c.value;
        if (count == 3) {
            EXPECT_EQ(nodes[0].Guid.High, fgsim::ColourCamera(0).guid.High);
        }
    }
    EXPECT_EQ(fgsim::Count().module_users, 0);
}

} // namespace

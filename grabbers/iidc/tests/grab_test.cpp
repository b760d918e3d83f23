#include <thread>

#include "iidc_test_support.h"
#include "tests/support/gated_clock.h"

namespace {

using namespace std::chrono_literals;
using IidcGrabTest = IidcTest;

TEST_F(IidcGrabTest, EachGrabDeliversTheNextFrameStampedWhenItEnded)
{
    FGInstance& i = Opened("0:5:4");
    for (int frame = 0; frame < 2; ++frame) {
        Images images;
        ASSERT_TRUE(GrabsOne(i, images, BYTE_IMAGE, 640, 480));
        int wrong = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                wrong += images.Byte(0, x, y) != Y8(x, y, frame);
        EXPECT_EQ(wrong, 0) << "frame " << frame;
        // 30 frames a second from second 56 on the bus clock.
        EXPECT_EQ(images.record[0].timestamp_second, 56);
        EXPECT_EQ(images.record[0].timestamp_ms, frame == 0 ? 33 : 66);
    }
}

TEST_F(IidcGrabTest, PartsAndStepsAreCutFromTheFrame)
{
    struct Case {
        int32_t resolution, width, height, start_column, start_row;
        int x_step;
    };
    const Case cases[] = {{1, 5, 3, 3, 2, 1}, {2, 0, 0, 0, 0, 2}, {2, 40, 20, 11, 7, 2}};
    for (const Case& c : cases) {
        FGInstance& i = Request("0:5:4");
        SetPart(i, c.resolution, c.width, c.height, c.start_column, c.start_row);
        ASSERT_EQ(Open(i), FG_SUCCESS);
        Images images;
        ASSERT_EQ(Grab(i, images), FG_SUCCESS);
        const VImageRecord& image = images.record[0];
        int wrong = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                wrong += images.Byte(0, x, y) !=
                         Y8(c.start_column + c.x_step * x, c.start_row + c.x_step * y, 0);
        EXPECT_EQ(wrong, 0) << image.width << "x" << image.height;
        Close(i);
    }
}

TEST_F(IidcGrabTest, ColourAndWideFramesBecomeTheirPlanes)
{
    FGInstance& yuv = Request("0:3:4", "0.1");
    ASSERT_EQ(Open(yuv), FG_SUCCESS);
    Images colour;
    ASSERT_EQ(Grab(yuv, colour), FG_SUCCESS);
    ASSERT_EQ(colour.count, 3);
    // Pixel (5, 3) of the colour camera: b = 5 + 9 + 500 + 50; its pair starts at column 4.
    EXPECT_EQ(colour.Byte(0, 5, 3), uint8_t(564));
    EXPECT_EQ(colour.Byte(1, 5, 3), 4 + 6 + 64);
    EXPECT_EQ(colour.Byte(2, 5, 3), 4 + 3 + 192);

    FGInstance& wide = Request("0:6:4", "-1");
    wide.bits_per_channel = 12;
    ASSERT_EQ(Open(wide), FG_SUCCESS);
    ASSERT_EQ(Set(wide, "swap_bytes", Text("false")), FG_SUCCESS);
    Images deep;
    ASSERT_EQ(Grab(wide, deep), FG_SUCCESS);
    EXPECT_EQ(deep.record[0].kind, UINT2_IMAGE);
    const int b = 5 + 9 + 500;
    EXPECT_EQ(deep.record[0].pixel.u[3 * 640 + 5], uint16_t(256 * b + 5) >> 4);
    ASSERT_EQ(Set(wide, "swap_bytes", Text("true")), FG_SUCCESS);
    Images swapped;
    ASSERT_EQ(Grab(wide, swapped), FG_SUCCESS);
    const auto sample = uint16_t(256 * (b + 7) + 5); // frame 1
    EXPECT_EQ(swapped.record[0].pixel.u[3 * 640 + 5],
              uint16_t((sample & 0xFF) << 8 | sample >> 8) >> 4);
}

TEST_F(IidcGrabTest, FailuresDiscardTheQueueAndSayWhy)
{
    FGInstance& i = Opened("0:5:4");
    ASSERT_EQ(Set(i, "grab_timeout", Int(100)), FG_SUCCESS);
    struct Case {
        fgsim::Call call;
        int nth;
        uint32_t code;
        int low_error;
        FGstatus status;
        const char* text;
    };
    const Case cases[] = {
        {fgsim::Call::GetFrame, 1, 5, 1, FG_ERR_TIMEOUT,
         "Could not acquire image (CFGCamera::GetFrame=5).\n"},
        {fgsim::Call::GetFrame, 1, 5, 0, FG_ERR_TIMEOUT, ""},
        {fgsim::Call::PutFrame, 1, 7, 1, FG_ERR_GRAB,
         "Could not push frame buffer (CFGCamera::PutFrame(NULL)=7).\n"},
        {fgsim::Call::PutFrame, 2, 5, 1, FG_ERR_TIMEOUT,
         "Could not return frame buffer (CFGCamera::PutFrame=5).\n"},
        {fgsim::Call::PutFrame, 2, 4, 0, FG_ERR_GRAB, ""},
    };
    for (const Case& c : cases) {
        fgsim::FailCall(c.call, c.nth, c.code);
        VDoLowError = c.low_error;
        testing::internal::CaptureStderr();
        Images images;
        EXPECT_EQ(Grab(i, images), c.status);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.text);
        EXPECT_EQ(fgsim::Count().queued, 0);
    }
    // A camera that never delivers: the grab waits its time-out.
    fgsim::SetDelivering(0, false);
    const auto before = clock_.Now();
    Images images;
    EXPECT_EQ(Grab(i, images), FG_ERR_TIMEOUT);
    EXPECT_EQ(clock_.Now() - before, 100ms);
}

TEST_F(IidcGrabTest, AsynchronousGrabsRefuseOldFramesAcrossTheMinute)
{
    struct Case {
        uint64_t filetime_at_zero;
        double start_delay, delay;
        std::chrono::microseconds wait;
        FGstatus status;
        int second, ms;
    };
    const Case cases[] = {
        // The frame ends at 33.3 ms.
        {kFileTimeAtZero, 10, 10, 40ms, FG_SUCCESS, 56, 33},
        {kFileTimeAtZero, 0, 0, 40ms, FG_ERR_TIMEOUT, 56, 33},
        {kFileTimeAtZero, 0, 0, 33400us, FG_SUCCESS, 56, 33},
        {599500000, 50, 50, 63ms, FG_SUCCESS, 59, 983},
        {599500000, 50, 20, 63ms, FG_ERR_TIMEOUT, 59, 983},
        // Delays beyond 32 bits are no limit.
        {kFileTimeAtZero, 3e9, 3e9, 40ms, FG_SUCCESS, 56, 33},
        {kFileTimeAtZero, 1e300, 1e300, 40ms, FG_SUCCESS, 56, 33},
    };
    for (const Case& c : cases) {
        ondula::VirtualClock clock;
        fgsim::UseClock(clock, c.filetime_at_zero);
        FGInstance& i = Opened("0:5:4");
        ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, c.start_delay), FG_SUCCESS);
        EXPECT_EQ(Get(i, "image_available"), "0");
        clock.Advance(c.wait);
        EXPECT_EQ(Get(i, "image_available"), "1");
        Images images;
        EXPECT_EQ(cls_.FGGrabAsync(1, &i, c.delay, images.record, &images.count), c.status);
        EXPECT_EQ(images.record[0].timestamp_second, c.second);
        EXPECT_EQ(images.record[0].timestamp_ms, c.ms);
        Close(i);
        fgsim::UseClock(clock_, kFileTimeAtZero);
    }
}

TEST_F(IidcGrabTest, AsynchronousGrabsKeepTheNextFrameUnderWay)
{
    FGInstance& i = Opened("0:5:4");
    for (int frame = 0; frame < 3; ++frame) {
        Images images;
        ASSERT_EQ(cls_.FGGrabAsync(1, &i, 100, images.record, &images.count), FG_SUCCESS);
        EXPECT_EQ(images.Byte(0, 0, 0), Y8(0, 0, frame));
        EXPECT_EQ(fgsim::Count().queued, 1);
    }
    ASSERT_EQ(Set(i, "start_async_after_grab_async", Text("disable")), FG_SUCCESS);
    Images images;
    ASSERT_EQ(cls_.FGGrabAsync(1, &i, 100, images.record, &images.count), FG_SUCCESS);
    EXPECT_EQ(fgsim::Count().queued, 0);
}

TEST_F(IidcGrabTest, AbortFromAnotherThreadEndsAWaitingGrab)
{
    GatedClock gate;
    fgsim::UseClock(gate, kFileTimeAtZero);
    FGInstance& i = Opened("0:5:4");
    FGstatus status = FG_SUCCESS;
    std::thread grabbing([&] {
        Images images;
        status = Grab(i, images);
    });
    gate.WaitForSleeper();
    EXPECT_EQ(Set(i, "do_abort_grab", Int(0)), FG_SUCCESS);
    gate.Open();
    grabbing.join();
    EXPECT_EQ(status, FG_ERR_TIMEOUT);
    EXPECT_EQ(gate.Now(), 10ms) << "one wait, cut short";
    fgsim::UseClock(clock_, kFileTimeAtZero);
}

TEST_F(IidcGrabTest, VendorExtensionsTakeTheTableAndUnknownParameters)
{
    fgsim::CameraConfig full = fgsim::MonoCamera(0);
    full.guid.High = 0x00AB0101;
    fgsim::CameraConfig partial = fgsim::MonoCamera(1);
    partial.guid.High = 0x00AB0201;
    ASSERT_EQ(Start({full, partial}), FG_SUCCESS);
    const int32_t red[] = {1, 2, 3}, green[] = {4, 5, 6}, blue[] = {7, 8, 9};
    int32_t back[3][3] = {};
    int32_t count = -1;

    FGInstance& extended = Opened("0:5:4", "-1");
    EXPECT_EQ(cls_.FGGetLut(1, &extended, back[0], back[1], back[2], &count), FG_SUCCESS);
    EXPECT_EQ(count, 0) << "no table yet";
    EXPECT_EQ(cls_.FGSetLut(1, &extended, red, green, blue, 3), FG_SUCCESS);
    EXPECT_EQ(cls_.FGGetLut(1, &extended, back[0], back[1], back[2], &count), FG_SUCCESS);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(back[2][1], 8);
    EXPECT_EQ(Set(extended, "fex_gain", Int(7)), FG_SUCCESS);
    EXPECT_EQ(Get(extended, "fex_gain"), "7");
    Images images;
    EXPECT_EQ(Grab(extended, images), FG_SUCCESS) << "its camera grabs as any other";

    FGInstance& plain = Opened("0:5:4", "-1");
    EXPECT_EQ(cls_.FGSetLut(1, &plain, red, green, blue, 3), FG_ERR_NOT_SUPPORTED);
    EXPECT_EQ(cls_.FGGetLut(1, &plain, back[0], back[1], back[2], &count), FG_ERR_NOT_SUPPORTED);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Set(plain, "fex_gain", Int(7)), FG_ERR_PARAM_UNKNOWN);
}

TEST_F(IidcGrabTest, InfoAnswersListTheCameras)
{
    fgsim::CameraConfig far = fgsim::ColourCamera(1);
    far.card = 12;
    far.node = 3;
    ASSERT_EQ(Start({fgsim::MonoCamera(0), far}), FG_SUCCESS);
    struct Case {
        int32_t query;
        const char* info;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {FG_INFO_BOARDS,
         "Information about actually installed IIDC 1394 compliant cameras.",
         {"device:00B09D0110000000 card.id:0.00", "device:00B09D0210000001 card.id:12.03"}},
        {FG_INFO_DEVICE,
         "Specify device by one of the listed GUIDs.",
         {"00B09D0110000000", "00B09D0210000001"}},
        {FG_INFO_CAMERA_TYPE,
         "Specify camera type as 'Format:Mode:Rate' (DCAM) or 'Resolution.Color.Rate' "
         "(FireGrab) or 'default'.",
         {"default"}},
        {FG_INFO_COLOR_SPACE,
         "Value list of color space parameter.",
         {"gray", "rgb", "yuv", "default"}},
        {FG_INFO_EXTERNAL_TRIGGER, "Value list for external trigger parameter.", {"false", "true"}},
        {FG_INFO_REVISION, "Current interface revision.", {"2.0"}},
        {FG_INFO_PORT, "Unused", {}},
        {FG_INFO_FIELD, "Unused", {}},
        {7, "Unsupported query!", {}},
        {13, "Unsupported query!", {}},
    };
    for (const Case& c : cases) {
        const char* info = nullptr;
        Vcpar* values = nullptr;
        int32_t count = 0;
        ASSERT_EQ(cls_.FGInfo(1, c.query, &info, &values, &count), FG_SUCCESS);
        EXPECT_STREQ(info, c.info);
        std::vector<std::string> texts;
        for (int32_t n = 0; n < count; ++n)
            texts.push_back(values[n].par.s);
        EXPECT_EQ(texts, c.values) << c.query;
        VXFree(1, values, __FILE__, __LINE__, 0);
    }
    const char* info = nullptr;
    Vcpar* bits = nullptr;
    int32_t count = 0;
    ASSERT_EQ(cls_.FGInfo(1, FG_INFO_BITS_PER_CHANNEL, &info, &bits, &count), FG_SUCCESS);
    ASSERT_EQ(count, 9);
    EXPECT_EQ(bits[0].par.l + bits[8].par.l, 8 + 16);
    EXPECT_EQ(VXAllocated().back().file, "CIO1394IIDC_Main.cpp");
    VXFree(1, bits, __FILE__, __LINE__, 0);
}

} // namespace

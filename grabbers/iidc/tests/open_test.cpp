#include <cstring>

#include "iidc_test_support.h"

namespace {

using IidcInitTest = IidcTest;
using IidcOpenTest = IidcTest;

const std::vector<fgsim::CameraConfig> kTwoCameras = {fgsim::MonoCamera(0), fgsim::ColourCamera(1)};

TEST_F(IidcInitTest, NoCameraOrAFailingLibraryRefusesToStart)
{
    EXPECT_EQ(cls_.max_instances, 2);
    EXPECT_EQ(cls_.field, FG_FIELD_PROGRESSIVE);
    EXPECT_EQ(cls_.bits_per_channel, -1);
    EXPECT_STREQ(cls_.device, "-1");
    EXPECT_STREQ(cls_.camera_type, "default");
    struct Case {
        std::vector<fgsim::CameraConfig> cameras;
        fgsim::Call call;
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {{}, fgsim::Call::Connect, 0, ""},
        {kTwoCameras, fgsim::Call::InitModule, 9,
         "Could not initialize interface module (FGInitModule=9).\n"},
        {kTwoCameras, fgsim::Call::GetNodeList, 4,
         "Could not get list of connected cameras. (FGGetNodeList=4).\n"},
    };
    VDoLowError = 1;
    for (const Case& c : cases) {
        fgsim::Configure(c.cameras);
        fgsim::FailCall(c.call, 1, c.code);
        testing::internal::CaptureStderr();
        EXPECT_EQ(InitPlugin(IIDC_PLUGIN_PATH), FG_ERR_OPEN);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.text);
        EXPECT_EQ(fgsim::Count().module_users, 0);
    }
}

TEST_F(IidcOpenTest, DevicesNameFreeNodesByCardAndNodeOrGuid)
{
    fgsim::CameraConfig third = fgsim::MonoCamera(2);
    third.card = 1;
    third.node = 12;
    ASSERT_EQ(Start({fgsim::MonoCamera(0), fgsim::ColourCamera(1), third}), FG_SUCCESS);
    struct Case {
        const char* device;
        FGstatus status;
        const char* resolved;
    };
    const Case cases[] = {
        {"-1", FG_SUCCESS, "00B09D0110000000"},
        {"default", FG_SUCCESS, "00B09D0110000000"},
        {"0.1", FG_SUCCESS, "00B09D0210000001"},
        {"1.12", FG_SUCCESS, "00B09D0110000002"},
        {"00b09d0210000001", FG_SUCCESS, "00B09D0210000001"},
        {"0.123", FG_ERR_DEVICE, ""},
        {"00B09D021000000", FG_ERR_DEVICE, ""},
        {"2.0", FG_ERR_DEVICE, ""},
    };
    for (const Case& c : cases) {
        FGInstance& i = Request("default", c.device);
        EXPECT_EQ(Open(i), c.status) << c.device;
        if (c.status == FG_SUCCESS) {
            EXPECT_STREQ(i.device, c.resolved);
        }
        Close(i);
    }
    // Busy nodes are skipped; with every camera open no instance is left.
    EXPECT_STREQ(Opened("default", "-1").device, "00B09D0110000000");
    EXPECT_STREQ(Opened("default", "-1").device, "00B09D0210000001");
    FGInstance& busy = Request("default", "0.0");
    EXPECT_EQ(Open(busy), FG_ERR_DEVICE);
    EXPECT_STREQ(Opened("default", "-1").device, "00B09D0110000002");
    FGInstance& fourth = Request("default", "-1");
    EXPECT_EQ(cls_.FGAllocInstance(1, &fourth), nullptr);
}

TEST_F(IidcOpenTest, CameraTypesSelectTheFormat)
{
    struct Case {
        const char* camera_type;
        const char* device;
        int32_t horizontal_resolution, vertical_resolution;
        FGstatus status;
        const char* written; // camera_type after the open
        const char* read;    // "camera_type" parameter
        int32_t full_width, full_height;
        std::vector<uint32_t> requests; // FGP_IMAGEFORMAT values the camera got
    };
    const Case cases[] = {
        {"0:5:4", "-1", 1, 1, FG_SUCCESS, "0:5:4", "00:05:04", 640, 480, {0x80000504}},
        {"1:2:2", "-1", 1, 1, FG_SUCCESS, "1:2:2", "01:02:02", 800, 600, {0x80010202}},
        {"1:5:4", "-1", 1, 1, FG_SUCCESS, "1:5:4", "01:05:04", 1024, 768, {0x80010504}},
        {"1.2.2", "0.1", 1, 1, FG_SUCCESS, "1.2.2", "01.02.02", 320, 240, {0x00010202}},
        {"default",
         "-1",
         1,
         1,
         FG_SUCCESS,
         "0:5:4",
         "00:05:04",
         640,
         480,
         {0xFFFFFFFF, 0x80000504}},
        {"default",
         "-1",
         640,
         480,
         FG_SUCCESS,
         "2.0.4",
         "02.00.04",
         640,
         480,
         {0x0002FFFF, 0x00020004}},
        {"7:0:0", "-1", 640, 480, FG_SUCCESS, "7:0:0", "07:00:00", 640, 480, {0x80070000}},
        {"default", "-1", 123, 45, FG_ERR_RESOLUTION, "", "", 0, 0, {}},
        {"1:2", "-1", 1, 1, FG_ERR_CAMERA_TYPE, "", "", 0, 0, {}},
        {"2:0:4", "-1", 1, 1, FG_ERR_CAMERA_TYPE, "", "", 0, 0, {0x80020004}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Start(kTwoCameras), FG_SUCCESS);
        FGInstance& i = Request(c.camera_type, c.device);
        i.horizontal_resolution = c.horizontal_resolution;
        i.vertical_resolution = c.vertical_resolution;
        ASSERT_EQ(Open(i), c.status) << c.camera_type;
        EXPECT_EQ(fgsim::FormatRequests(std::strcmp(c.device, "0.1") == 0), c.requests)
            << c.camera_type;
        if (c.status != FG_SUCCESS)
            continue;
        EXPECT_STREQ(i.camera_type, c.written);
        EXPECT_EQ(Get(i, "camera_type"), c.read);
        EXPECT_EQ(i.full_width, c.full_width);
        EXPECT_EQ(i.full_height, c.full_height);
        EXPECT_EQ(i.horizontal_resolution, c.full_width);
        Close(i);
    }
}

TEST_F(IidcOpenTest, BitsAndColourSpaceFollowTheCoding)
{
    struct Case {
        const char* camera_type;
        const char* device;
        int32_t bits;
        const char* color_space;
        FGstatus status;
        int32_t bits_out;
        const char* color_space_out;
        int32_t channels;
    };
    const Case cases[] = {
        {"0:6:4", "-1", -1, "default", FG_SUCCESS, 16, "gray", 1},
        {"0:5:4", "-1", -1, "default", FG_SUCCESS, 8, "gray", 1},
        {"0:3:4", "0.1", -1, "default", FG_SUCCESS, 8, "yuv", 3},
        {"0:4:4", "0.1", -1, "default", FG_SUCCESS, 8, "rgb", 3},
        {"0:5:4", "-1", 12, "rgb", FG_SUCCESS, 12, "rgb", 3},
        {"0:5:4", "-1", 17, "default", FG_ERR_BITS_PER_CHANNEL, 0, "", 0},
        {"0:5:4", "-1", 7, "default", FG_ERR_BITS_PER_CHANNEL, 0, "", 0},
        {"0:5:4", "-1", -1, "lab", FG_ERR_COLOR_SPACE, 0, "", 0},
    };
    for (const Case& c : cases) {
        FGInstance& i = Request(c.camera_type, c.device);
        i.bits_per_channel = c.bits;
        fg_copy_text(i.color_space, sizeof i.color_space, c.color_space);
        ASSERT_EQ(Open(i), c.status) << c.camera_type << " " << c.color_space;
        if (c.status != FG_SUCCESS)
            continue;
        EXPECT_EQ(i.bits_per_channel, c.bits_out);
        EXPECT_STREQ(i.color_space, c.color_space_out);
        EXPECT_EQ(i.num_channels, c.channels);
        Close(i);
    }
}

TEST_F(IidcOpenTest, ThePartMustLieInTheFullImage)
{
    struct Case {
        int32_t resolution, width, height, start_column, start_row;
        FGstatus status;
        int32_t part_width, part_height;
    };
    const Case cases[] = {
        {1, 0, 0, 10, 0, FG_SUCCESS, 620, 480},
        {1, 100, 50, 540, 430, FG_SUCCESS, 100, 50},
        {2, 0, 0, 0, 0, FG_SUCCESS, 320, 240},
        {2, 0, 0, 20, 40, FG_SUCCESS, 300, 200},
        {1, 101, 0, 540, 0, FG_ERR_IMAGE_PART, 0, 0},
        {1, 0, 0, 320, 0, FG_ERR_IMAGE_PART, 0, 0},
        {1, 0, 0, -2, 0, FG_ERR_IMAGE_PART, 0, 0},
        {1, -5, 0, 0, 0, FG_ERR_IMAGE_PART, 0, 0},
        {1, 0, 0, 1100000000, 0, FG_ERR_IMAGE_PART, 0, 0},
        {1, 0, 0, 0, -1100000000, FG_ERR_IMAGE_PART, 0, 0},
    };
    for (const Case& c : cases) {
        FGInstance& i = Request("0:5:4");
        SetPart(i, c.resolution, c.width, c.height, c.start_column, c.start_row);
        ASSERT_EQ(Open(i), c.status) << c.width << " at " << c.start_column;
        EXPECT_EQ(fgsim::Count().connected, c.status == FG_SUCCESS);
        if (c.status != FG_SUCCESS)
            continue;
        EXPECT_EQ(Get(i, "image_width") + "x" + Get(i, "image_height"),
                  std::to_string(c.part_width) + "x" + std::to_string(c.part_height));
        Close(i);
    }
}

TEST_F(IidcOpenTest, AFaultAtAnyStepLeavesNothingConnectedOrBusy)
{
    // Enough calls to reach every step of the open, and a few beyond.
    constexpr int kCalls = 16;
    int failures = 0;
    for (const fgsim::Call call :
         {fgsim::Call::Connect, fgsim::Call::SetParameter, fgsim::Call::GetParameter,
          fgsim::Call::OpenCapture, fgsim::Call::StartDevice}) {
        for (int n = 1; n <= kCalls; ++n) {
            ASSERT_EQ(Start(kTwoCameras), FG_SUCCESS);
            fgsim::FailCall(call, n, 4);
            FGInstance& i = Request("default", "-1");
            i.external_trigger = 1;
            if (Open(i) == FG_SUCCESS) {
                Close(i);
                continue;
            }
            ++failures;
            const fgsim::Counters counters = fgsim::Count();
            EXPECT_EQ(counters.connected, 0) << int(call) << " " << n;
            EXPECT_EQ(counters.capturing, 0) << int(call) << " " << n;
            // The record and the node are free again.
            EXPECT_STREQ(Opened("default", "-1").device, "00B09D0110000000");
            EXPECT_STREQ(Opened("default", "-1").device, "00B09D0210000001");
            CloseAll();
        }
    }
    // Connect, 9 settings (the format list's reset is not one), 11 readings, capture, start.
    EXPECT_EQ(failures, 1 + 9 + 11 + 1 + 1);
}

} // namespace

#include <algorithm>

#include "usbcam_test_support.h"

namespace {

using UsbcamInfoTest = UsbcamTest;
using UsbcamOpenTest = UsbcamTest;

// Blocks of the plug-in's own (records and frame buffers), by size.
std::vector<size_t> PluginBlocks()
{
    std::vector<size_t> sizes;
    for (const VXAllocation& a : VXAllocated())
        if (a.file == "CIOKandrisAcquire.cpp")
            sizes.push_back(a.size);
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

TEST_F(UsbcamInfoTest, ClassDefaultsAndFixedAnswers)
{
    EXPECT_EQ(cls_.max_instances, 32);
    EXPECT_EQ(cls_.bits_per_channel, 8);
    EXPECT_STREQ(cls_.color_space, "gray");
    EXPECT_STREQ(cls_.camera_type, "kdLyra*");
    EXPECT_STREQ(cls_.device, "0");
    EXPECT_EQ(cls_.FGGrabExtra, nullptr);
    struct Case {
        int32_t query;
        const char* text;
        size_t count;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {FG_INFO_CAMERA_TYPE, "Value list for CameraType parameter..", 9, "kdLyra*", "kdLyra-A1G"},
        {FG_INFO_GENERAL,
         "Verodyn frame grabber interface for KANDRIS devices. Supported devices: kdLyra USB "
         "cameras",
         0, "", ""},
        {FG_INFO_DEFAULTS, "Default values (as used for open_framegrabber).", 15, "?", "?"},
        {FG_INFO_PARAMETERS, "Additional parameters for this KANDRIS device.", 18,
         "available_param_access", "volatile_values"},
        {FG_INFO_REVISION, "Current interface revision of the KandrisAcquire interface.", 1, "2.2",
         "2.2"},
        {FG_INFO_PORT, "Unused.", 0, "", ""},
        {FG_INFO_EXTERNAL_TRIGGER, "Unused.", 0, "", ""},
        {7, "Unsupported query!", 0, "", ""},
        {13, "Unsupported query!", 0, "", ""},
    };
    for (const Case& c : cases) {
        std::string text;
        std::vector<std::string> values;
        EXPECT_EQ(Info(c.query, &text, &values), FG_SUCCESS) << c.query;
        EXPECT_EQ(text, c.text);
        ASSERT_EQ(values.size(), c.count) << c.query;
        if (c.count) {
            EXPECT_EQ(values.front(), c.first);
            EXPECT_EQ(values.back(), c.last);
        }
    }
}

TEST_F(UsbcamInfoTest, CameraListsAnswerTheCamerasOfTheMoment)
{
    const std::vector<std::string> boards = {"camera type: kdLyra-A1G,device: 0,GUID: KDL10000",
                                             "camera type: kdLyra-A2C,device: 1,GUID: KDL10001"};
    const std::vector<std::string> devices = {"0", "1"};
    for (const int32_t query : {FG_INFO_DEVICE, FG_INFO_BOARDS, FG_INFO_DEVICE}) {
        std::string text;
        std::vector<std::string> values;
        EXPECT_EQ(Info(query, &text, &values), FG_SUCCESS);
        EXPECT_EQ(values, query == FG_INFO_BOARDS ? boards : devices);
        EXPECT_EQ(text, query == FG_INFO_BOARDS ? "Info about installed KANDRIS devices."
                                                : "Value list for device parameter.");
    }
    Start({});
    for (const int32_t query : {FG_INFO_BOARDS, FG_INFO_DEVICE}) {
        std::string text;
        std::vector<std::string> values;
        EXPECT_EQ(Info(query, &text, &values), FG_ERR_OPEN);
        EXPECT_TRUE(values.empty());
    }
    kdsim::FailCall(KD_ORD_INITIALISE, 1, KD_ERR_NOT_INITIALISED);
    std::string text;
    std::vector<std::string> values;
    EXPECT_EQ(Info(FG_INFO_DEVICE, &text, &values), FG_ERR_OPEN);
}

TEST_F(UsbcamOpenTest, OpenParametersAreCheckedBeforeAnyCamera)
{
    const std::string too_long(300, '1');
    struct Case {
        int32_t port;
        const char* color_space;
        float gain;
        int32_t bits;
        std::string device;
        FGstatus status;
    };
    const Case cases[] = {
        {1, "gray", 1, 8, "0", FG_ERR_PORT},
        {0, "lab", 1, 8, "0", FG_ERR_COLOR_SPACE},
        {0, "gray", -1, 8, "0", FG_ERR_GAIN},
        {0, "gray", 1, 17, "0", FG_ERR_BITS_PER_CHANNEL},
        {0, "gray", 1, 8, "O", FG_ERR_DEVICE},
        {0, "gray", 1, 8, "0x", FG_ERR_DEVICE},
        {0, "gray", 1, 8, too_long, FG_ERR_DEVICE},
    };
    for (const Case& c : cases) {
        FGInstance& i = Request("kdLyra*", c.device.c_str());
        i.port = c.port;
        fg_copy_text(i.color_space, sizeof i.color_space, c.color_space);
        i.gain = c.gain;
        i.bits_per_channel = c.bits;
        EXPECT_EQ(Open(i), c.status) << c.color_space << " " << c.device;
    }
    EXPECT_EQ(kdsim::Calls(KD_ORD_INITIALISE), 0);
    FGInstance& i = Request();
    fg_copy_text(i.color_space, sizeof i.color_space, "DEFAULT");
    i.bits_per_channel = -1;
    ASSERT_EQ(Open(i), FG_SUCCESS);
    EXPECT_STREQ(i.color_space, "rgb");
    EXPECT_EQ(i.num_channels, 3);
    EXPECT_EQ(i.bits_per_channel, 8);
    EXPECT_EQ(i.async_grab, 0);
    EXPECT_EQ(Get(i, "Camera/Gain_dB"), "1.00");
    const std::vector<size_t> blocks = PluginBlocks();
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), size_t(1280 * 3 * 1024)), 2);
}

TEST_F(UsbcamOpenTest, SubSamplingAndPartAreAppliedToTheSetting)
{
    struct Case {
        int32_t h, v, width, height, column, row;
        FGstatus status;
        int32_t result_width, code, part_width;
        const char* binning;
    };
    const Case cases[] = {
        {1280, 1024, 0, 0, 0, 0, FG_SUCCESS, 1280, 0, 1280, "Off"},
        {1, 1, 0, 0, 0, 0, FG_SUCCESS, 1280, 0, 1280, "Off"},
        {640, 512, 0, 0, 10, 0, FG_SUCCESS, 640, 1, 620, "H2V2"},
        {4, 4, 100, 50, 0, 0, FG_SUCCESS, 320, 2, 100, "H4V4"},
        {320, 1, 0, 0, 0, 0, FG_SUCCESS, 320, 3, 320, "H4"},
        {3, 1, 0, 0, 0, 0, FG_ERR_RESOLUTION, 0, 0, 0, ""},
        {640, 512, 600, 0, 41, 0, FG_ERR_IMAGE_PART, 0, 0, 0, ""},
        {1, 1, 0, 0, -2, 0, FG_ERR_IMAGE_PART, 0, 0, 0, ""},
        {1, 1, 0, 0, 0, 600, FG_ERR_IMAGE_PART, 0, 0, 0, ""},
        {1, 1, -5, 0, 0, 0, FG_ERR_IMAGE_PART, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        FGInstance& i = Request();
        i.horizontal_resolution = c.h;
        i.vertical_resolution = c.v;
        i.image_width = c.width;
        i.image_height = c.height;
        i.start_column = c.column;
        i.start_row = c.row;
        ASSERT_EQ(Open(i), c.status) << c.h << "x" << c.v;
        if (c.status != FG_SUCCESS)
            continue;
        EXPECT_EQ(i.horizontal_resolution, c.result_width);
        EXPECT_EQ(i.subsampling, c.code);
        EXPECT_EQ(i.image_width, c.part_width);
        EXPECT_EQ(i.full_width, 1280);
        EXPECT_EQ(i.full_height, 1024);
        EXPECT_EQ(Get(i, "Camera/Aoi/W"), std::to_string(c.part_width));
        EXPECT_EQ(Get(i, "Camera/Aoi/X"), std::to_string(c.column));
        EXPECT_EQ(Get(i, "image_width"), std::to_string(c.part_width));
        EXPECT_EQ(Get(i, "Camera/BinningMode"), c.binning);
        Close(i);
    }
    EXPECT_EQ(kdsim::Count().users, 0);
}

TEST_F(UsbcamOpenTest, CamerasThatAreNotThereOrDoNotMatch)
{
    struct Case {
        const char* camera_type;
        const char* device;
        FGstatus status;
    };
    for (const Case& c : {Case{"kdLyra-A2C", "0", FG_ERR_OPEN}, Case{"kdLyra*", "7", FG_ERR_OPEN},
                          Case{"kdLyra-A2C", "1", FG_SUCCESS}}) {
        FGInstance& i = Request(c.camera_type, c.device);
        EXPECT_EQ(Open(i), c.status) << c.camera_type << " " << c.device;
        Close(i);
        EXPECT_EQ(kdsim::Count().users, 0);
    }
    kdsim::SetRequestControls(0, 0);
    EXPECT_EQ(Open(Request()), FG_ERR_OPEN);
    kdsim::FailCall(KD_ORD_INITIALISE, 1, KD_ERR_NOT_INITIALISED);
    EXPECT_EQ(Open(Request()), FG_ERR_OPEN);
    Start({});
    EXPECT_EQ(Open(Request()), FG_ERR_DEVICE);
}

TEST_F(UsbcamOpenTest, InstancesOfOneDeviceShareItsCameraAndSettings)
{
    FGInstance& a = Opened();
    FGInstance& b = Opened("kdLyra*", "0");
    EXPECT_EQ(kdsim::Calls(KD_ORD_OPEN_DEVICE), 1);
    EXPECT_EQ(kdsim::SelectedSetting(0), "VerodynSetting_1");
    EXPECT_EQ(Open(Request("kdLyra*", "00")), FG_ERR_OPEN); // a second record, the camera is busy
    Close(a);
    EXPECT_EQ(kdsim::SelectedSetting(0), "VerodynSetting_1");
    FGInstance& c = Opened();
    EXPECT_EQ(kdsim::SelectedSetting(0), "VerodynSetting_0");
    Close(c);
    EXPECT_EQ(kdsim::SelectedSetting(0), "VerodynSetting_1");
    Close(b);
    EXPECT_EQ(kdsim::Count().open_devices, 0);
    EXPECT_EQ(kdsim::Count().users, 0);

    // Three instances; the second and then the first give their settings back.
    FGInstance* three[3] = {&Opened(), &Opened(), &Opened()};
    ASSERT_EQ(Set(*three[1], "Camera/Expose_us", Int(5000)), FG_SUCCESS);
    Close(*three[1]);
    Close(*three[0]);
    FGInstance& d = Opened();
    EXPECT_EQ(kdsim::SelectedSetting(0), "VerodynSetting_0");
    FGInstance& e = Opened();
    EXPECT_EQ(kdsim::SelectedSetting(0), "VerodynSetting_1");
    EXPECT_EQ(Get(e, "Camera/Expose_us"), "20000");
    EXPECT_EQ(kdsim::Settings(0).size(), 4u);
    Close(d);
    Close(e);
}

TEST_F(UsbcamOpenTest, FrameBuffersAreSharedOrOwnAndMoveWithVolatileMode)
{
    const size_t full = 1280 * 1024, half = 640 * 1024;
    FGInstance& a = Opened();
    FGInstance& b = Request();
    b.image_width = 640;
    ASSERT_EQ(Open(b), FG_SUCCESS);
    FGInstance& c = Request();
    c.bits_per_channel = -1;
    ASSERT_EQ(Open(c), FG_SUCCESS);
    struct Step {
        FGInstance* instance;
        const char* mode;
        std::vector<size_t> buffers;
    };
    const Step steps[] = {
        {nullptr, "", {half, half, full, full}},
        {&a, "enable", {half, half, full, full, full, full}},
        {&b, "enable", {half, half, full, full, full, full}},
        {&a, "disable", {half, half, full, full}},
        {&a, "disable", {half, half, full, full}},
        {&c, "enable", {half, half, full, full, full, full}},
    };
    for (const Step& s : steps) {
        if (s.instance) {
            ASSERT_EQ(Set(*s.instance, "volatile", Text(s.mode)), FG_SUCCESS);
            EXPECT_EQ(Get(*s.instance, "volatile"), s.mode);
            EXPECT_EQ(s.instance->extra_flag, std::string(s.mode) == "disable");
        }
        std::vector<size_t> buffers;
        for (const size_t size : PluginBlocks())
            if (size == full || size == half)
                buffers.push_back(size);
        EXPECT_EQ(buffers, s.buffers) << (s.instance ? s.mode : "opened");
    }
    EXPECT_EQ(Set(a, "volatile", Text("maybe")), FG_ERR_PARAM_VALUE);
    EXPECT_EQ(Set(a, "volatile", Int(1)), FG_ERR_PARAM_TYPE);
    EXPECT_EQ(Get(a, "volatile_values"), "enable,disable");
    Close(a);
    Close(c);
    // b alone keeps its own buffers; disabling gives them to the camera.
    ASSERT_EQ(Set(b, "volatile", Text("disable")), FG_SUCCESS);
    std::vector<size_t> left;
    for (const size_t size : PluginBlocks())
        if (size == full || size == half)
            left.push_back(size);
    EXPECT_EQ(left, (std::vector<size_t>{half, half}));
}

TEST_F(UsbcamOpenTest, FixedParameters)
{
    FGInstance& i = Opened();
    const fg::SetCase cases[] = {
        {"PORT", Int(0), FG_ERR_PARAM_UNKNOWN, "0"},
        {"request_queue_depth", Int(-1), FG_ERR_PARAM_VALUE, "1"},
        {"request_queue_depth", Int(INT32_MAX), FG_ERR_PARAM_VALUE, "1"},
        {"request_queue_depth", Real(2), FG_ERR_PARAM_TYPE, "1"},
        {"request_queue_depth", Int(3), FG_SUCCESS, "3"},
        {"grab_timeout", Int(250), FG_SUCCESS, "250"},
        {"grab_timeout", Int(70000), FG_ERR_PARAM_VALUE, "250"},
        {"grab_timeout", Text("1"), FG_ERR_PARAM_TYPE, "250"},
        {"Image_Width", Int(640), FG_SUCCESS, "640"},
        {"image_height", Int(2000), FG_ERR_PARAM_VALUE, "1024"},
        {"start_row", Int(12), FG_SUCCESS, "12"},
        {"start_column", Int(7), FG_SUCCESS, "7"},
        {"do_abort_grab", Int(0), FG_SUCCESS, nullptr},
        {"revision", Int(0), FG_ERR_PARAM_UNKNOWN, "2.2"},
    };
    ExpectSets(i, cases);
    EXPECT_EQ(kdsim::Requests(0), 4);
    EXPECT_EQ(Get(i, "Camera/ImageRequestTimeout_ms"), "250");
    EXPECT_EQ(Get(i, "Camera/Aoi/Y"), "12");
    EXPECT_EQ(i.image_width, 640);
    EXPECT_EQ(i.start_column, 7);
    int32_t count = -1;
    EXPECT_EQ(cls_.FGGetLut(1, &i, nullptr, nullptr, nullptr, &count), FG_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(cls_.FGSetLut(1, &i, nullptr, nullptr, nullptr, 0), FG_SUCCESS);
}

TEST_F(UsbcamOpenTest, WrappedCallsAreTracedWithTheirTexts)
{
    VROInfo = VRunInfo{1, 1};
    testing::internal::CaptureStderr();
    FGInstance& a = Opened();
    FGInstance& b = Opened();
    Images images;
    ASSERT_EQ(Grab(b, images), FG_SUCCESS);
    std::string text;
    std::vector<std::string> values;
    Info(FG_INFO_REVISION, &text, &values);
    Close(a);
    Close(b);
    EXPECT_EQ(
        WithoutLines(testing::internal::GetCapturedStderr()),
        "spy: VAlloc (proc_id,(size_t)sizeof(BoardInfo),&currInst->board)\n"
        "spy: GrabImg (proc_id, fginst, &pRequest, &requestNr )\n"
        "spy: SetInstParam(fginst)\n"
        "spy: VAccessGlVar(proc_id,64,GV_READ_INFO,&save,(double)0,(char *)NULL,(Vkey)NULL,0)\n"
        "spy: VAccessGlVar(proc_id,64,GV_WRITE_INFO,NULL,(double)0,(char *)NULL,(Vkey)NULL,0)\n"
        "spy: VAccessGlVar(proc_id,64,GV_WRITE_INFO,NULL,(double)save,(char *)NULL,(Vkey)NULL,0)\n"
        "spy: VAlloc (proc_id,(size_t)(sizeof(Vcpar)),&val)\n"
        "spy: SetInstParam(fginst->fgclass->instance[i])\n"
        "spy: VFree(proc_id,board->BoardFrameBuffer[i])\n"
        "spy: VFree(proc_id,board->BoardFrameBuffer[i])\n"
        "spy: VFree(proc_id,currInst->board)\n");
}

TEST_F(UsbcamOpenTest, AFailingAllocationIsReportedAndUndone)
{
    VDoLowError = 1;
    struct Case {
        int before;
        const char* report;
    };
    const Case cases[] = {
        {0, "VAlloc (proc_id,(size_t)sizeof(BoardInfo),&currInst->board) failed with 1309\n"},
        {2, ""},
    };
    for (const Case& c : cases) {
        g_allocations_before_failure = c.before;
        testing::internal::CaptureStderr();
        EXPECT_EQ(Open(Request()), 1309);
        EXPECT_EQ(WithoutLines(testing::internal::GetCapturedStderr()), c.report);
        EXPECT_TRUE(PluginBlocks().empty());
        EXPECT_EQ(kdsim::Count().users, 0);
    }
    g_allocations_before_failure = -1;
    FGInstance& a = Opened();
    FGInstance& b = Opened();
    g_allocations_before_failure = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Set(a, "volatile", Text("enable")), 1309);
    EXPECT_EQ(WithoutLines(testing::internal::GetCapturedStderr()),
              "VAlloc (proc_id,(size_t)sizeBuffer, &currInst->InstFrameBuffer[i]) failed with "
              "1309\n");
    EXPECT_EQ(Get(a, "volatile"), "disable");
    g_allocations_before_failure = -1;
    Close(b);
}

} // namespace

#include <atomic>
#include <cstring>
#include <thread>

#include "fg_test_support.h"

namespace {

using FramegrabberLoaderTest = FramegrabberTest;
using FramegrabberOpenTest = FramegrabberTest;
using FramegrabberGrabTest = FramegrabberTest;
using FramegrabberParamTest = FramegrabberTest;
using FramegrabberInfoTest = FramegrabberTest;

TEST_F(FramegrabberLoaderTest, InterfaceLoadsInAnyLetterCaseAndInitialisesOnce)
{
    std::string text;
    VTuple values;
    for (const char* name : {"mockcam", "MOCKCAM", "mOcKcAm"}) {
        ASSERT_EQ(info_framegrabber(name, "general", &text, &values), V_OK) << name;
        EXPECT_EQ(text, "VFGMockCam - simulated camera for the host tests.");
        EXPECT_EQ(values.length(), 0u);
    }
    EXPECT_EQ(mock<int()>("MockInitCalls")(), 1);
    EXPECT_STREQ(mock_class()->interface_name, "MockCam");
}

TEST_F(FramegrabberLoaderTest, PluginThatCannotStartGivesItsOwnError)
{
    struct Case {
        const char* name;
        Vstatus status;
        const char* message;
    };
    const Case cases[] = {
        {"Absent", VERR_FG_NO_PLUGIN,
         "info_framegrabber: frame-grabber plug-in not found: VFGAbsent.so"},
        {"NoInit", VERR_FG_NO_INIT, "info_framegrabber: frame-grabber plug-in exports no FGInit: "},
        {"badinit", FG_ERR_OPEN, "info_framegrabber: device or device library cannot be opened: "},
        {"NoMarks", VERR_FG_INIT, "info_framegrabber: FGInit left the interface class unfilled: "},
        {"../fgtest/VFGBadInit", VERR_PARAM,
         "info_framegrabber: wrong value of a control parameter"},
        {"", VERR_PARAM, "info_framegrabber: wrong value of a control parameter"},
    };
    for (const Case& c : cases) {
        std::string text = "kept";
        VTuple values(7);
        EXPECT_EQ(info_framegrabber(c.name, "general", &text, &values), c.status) << c.name;
        EXPECT_EQ(vlast_error().rfind(c.message, 0), 0u) << vlast_error();
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(values, VTuple(7));
        long handle = -1;
        EXPECT_EQ(open_framegrabber(c.name, 1, 1, 0, 0, 0, 0, "default", -1, "default", 1.0,
                                    "default", "default", "0", 0, 0, &handle),
                  c.status);
        EXPECT_EQ(handle, -1);
    }
}

TEST_F(FramegrabberLoaderTest, WhatAPluginThrowsBecomesAStatus)
{
    const std::string folder = BROKEN_PLUGIN_DIR;
    long handle = -1;
    const auto open = [&](const char* name, const char* device) {
        return open_framegrabber(name, 1, 1, 0, 0, 0, 0, "default", -1, "default", 1.0, "false",
                                 "default", device, 0, 0, &handle);
    };
    EXPECT_EQ(open("ThrowInit", "0"), VERR_FG_EXCEPTION);
    EXPECT_EQ(vlast_error(), "open_framegrabber: frame-grabber plug-in raised an exception: " +
                                 folder + "/VFGThrowInit.so: no camera library");
    EXPECT_EQ(open("ThrowCalls", "throw"), VERR_FG_EXCEPTION);
    EXPECT_EQ(vlast_error(),
              "open_framegrabber: frame-grabber plug-in raised an exception: camera unplugged");
    EXPECT_EQ(handle, -1);
    ASSERT_EQ(open("ThrowCalls", "0"), V_OK) << "the slot was given back";
    Vobject image;
    EXPECT_EQ(grab_image(&image, handle), VERR_FG_EXCEPTION);
    EXPECT_EQ(set_framegrabber_param(handle, "gain", VTuple(2)), VERR_FG_EXCEPTION);
    EXPECT_EQ(close_framegrabber(handle), VERR_FG_EXCEPTION);
    EXPECT_EQ(close_framegrabber(handle), VERR_FG_HANDLE);
    ASSERT_EQ(open("ThrowCalls", "0"), V_OK) << "the slot was given back at close";
    EXPECT_EQ(close_framegrabber(handle), VERR_FG_EXCEPTION);
}

TEST_F(FramegrabberLoaderTest, FailuresThrowWhileErrorsAreGiven)
{
    set_check("give_error");
    try {
        close_framegrabber(12345);
        FAIL() << "no exception";
    } catch (const VException& e) {
        EXPECT_EQ(e.err(), VERR_FG_HANDLE);
        EXPECT_STREQ(e.what(), "close_framegrabber: no open frame grabber with this handle");
    }
    set_check("~give_error");
}

void expect_same_block(const FGInstance& a, const FGInstance& b)
{
    EXPECT_EQ(a.horizontal_resolution, b.horizontal_resolution);
    EXPECT_EQ(a.vertical_resolution, b.vertical_resolution);
    EXPECT_EQ(a.image_width, b.image_width);
    EXPECT_EQ(a.image_height, b.image_height);
    EXPECT_EQ(a.start_row, b.start_row);
    EXPECT_EQ(a.start_column, b.start_column);
    EXPECT_EQ(a.field, b.field);
    EXPECT_EQ(a.bits_per_channel, b.bits_per_channel);
    EXPECT_STREQ(a.color_space, b.color_space);
    EXPECT_EQ(a.gain, b.gain);
    EXPECT_EQ(a.external_trigger, b.external_trigger);
    EXPECT_STREQ(a.camera_type, b.camera_type);
    EXPECT_STREQ(a.device, b.device);
    EXPECT_EQ(a.port, b.port);
    EXPECT_EQ(a.line_in, b.line_in);
}

TEST_F(FramegrabberOpenTest, PlainAndTupleOpenReachThePluginWithTheSameValues)
{
    long plain = 0, tuple = 0;
    ASSERT_EQ(open_framegrabber("mOcKcAm", 2, 3, 4, 5, 6, 7, "progressive", 12, "rgb", 2.5, "true",
                                "cam:type", "dev-1", 9, 10, &plain),
              V_OK);
    const FGInstance seen = last_open();
    EXPECT_EQ(seen.horizontal_resolution, 2);
    EXPECT_EQ(seen.vertical_resolution, 3);
    EXPECT_EQ(seen.image_width, 4);
    EXPECT_EQ(seen.image_height, 5);
    EXPECT_EQ(seen.start_row, 6);
    EXPECT_EQ(seen.start_column, 7);
    EXPECT_EQ(seen.field, FG_FIELD_PROGRESSIVE);
    EXPECT_EQ(seen.bits_per_channel, 12);
    EXPECT_STREQ(seen.color_space, "rgb");
    EXPECT_EQ(seen.gain, 2.5f);
    EXPECT_EQ(seen.external_trigger, 1);
    EXPECT_STREQ(seen.camera_type, "cam:type");
    EXPECT_STREQ(seen.device, "dev-1");
    EXPECT_EQ(seen.port, 9);
    EXPECT_EQ(seen.line_in, 10);
    EXPECT_EQ(seen.fgclass, mock_class());

    ASSERT_EQ(open_framegrabber(VTuple("mOcKcAm"), VTuple(2), VTuple(3), VTuple(4), VTuple(5),
                                VTuple(6), VTuple(7), VTuple("progressive"), VTuple(12),
                                VTuple("rgb"), VTuple(2.5), VTuple("true"), VTuple("cam:type"),
                                VTuple("dev-1"), VTuple(9), VTuple(10), &tuple),
              V_OK);
    expect_same_block(last_open(), seen);
    EXPECT_NE(plain, tuple);
    EXPECT_GT(plain, 0);
}

TEST_F(FramegrabberOpenTest, DefaultFieldAndTriggerTakeTheInterfaceDefaults)
{
    long handle = 0;
    ASSERT_EQ(open_framegrabber(VTuple("MockCam"), VTuple(1), VTuple(1), VTuple(0), VTuple(0),
                                VTuple(0), VTuple(0), VTuple("default"), VTuple(-1),
                                VTuple("default"), VTuple(-1), VTuple("default"), VTuple("mock*"),
                                VTuple("0"), VTuple(0), VTuple(-1), &handle),
              V_OK);
    const FGInstance seen = last_open();
    EXPECT_EQ(seen.field, FG_FIELD_INTERLACED);
    EXPECT_EQ(seen.external_trigger, 0);
    EXPECT_EQ(seen.gain, -1.0f);
    EXPECT_EQ(seen.bits_per_channel, -1);
    // What the plug-in wrote back stays in the open instance.
    EXPECT_EQ(instance_of_slot(0)->bits_per_channel, 8);
    EXPECT_STREQ(instance_of_slot(0)->color_space, "gray");
}

TEST_F(FramegrabberOpenTest, BadOpenParametersOpenNothing)
{
    const std::string too_long(FG_TEXT_LEN, 'x');
    const std::string longest(FG_TEXT_LEN - 1, 'x');
    struct Case {
        VTuple field, color_space, external_trigger, port;
        Vstatus status;
        const char* detail;
    };
    const Case cases[] = {
        {VTuple("odd"), VTuple("gray"), VTuple("false"), VTuple(0), VERR_PARAM, "field"},
        {VTuple("default"), VTuple(too_long), VTuple("false"), VTuple(0), VERR_PARAM,
         "color_space"},
        {VTuple("default"), VTuple("gray"), VTuple("maybe"), VTuple(0), VERR_PARAM,
         "external_trigger"},
        {VTuple("default"), VTuple("gray"), VTuple(2), VTuple(0), VERR_PARAM, "external_trigger"},
        {VTuple("default"), VTuple("gray"), VTuple("false"), VTuple("0"), VERR_PARAM, "port"},
        {VTuple("default"), VTuple("gray"), VTuple("false"), VTuple(0.5), VERR_PARAM, "port"},
        {VTuple("default"), VTuple("gray"), VTuple("false"), VTuple(1LL << 40), VERR_PARAM, "port"},
        {VTuple("default"), VTuple("gray"), VTuple("false"), VTuple().append(1).append(2),
         VERR_PARAM, "port"},
        {VTuple("default"), VTuple(longest), VTuple(1), VTuple(0), V_OK, ""},
    };
    for (const Case& c : cases) {
        long handle = -1;
        const Vstatus status = open_framegrabber(
            VTuple("MockCam"), VTuple(1), VTuple(1), VTuple(0), VTuple(0), VTuple(0), VTuple(0),
            c.field, VTuple(8), c.color_space, VTuple(1.0), c.external_trigger, VTuple("mock*"),
            VTuple("0"), c.port, VTuple(0), &handle);
        EXPECT_EQ(status, c.status) << c.detail;
        if (status != V_OK) {
            EXPECT_EQ(handle, -1);
            EXPECT_EQ(mock_open_count(), 0);
            EXPECT_NE(vlast_error().find(c.detail), std::string::npos) << vlast_error();
        } else {
            EXPECT_EQ(std::strlen(last_open().color_space), longest.size());
            EXPECT_EQ(close_framegrabber(handle), V_OK);
        }
    }
}

TEST_F(FramegrabberOpenTest, OpenAtMaxInstancesFailsAndChangesNothing)
{
    const long first = open_mock();
    const long second = open_mock();
    FGClass* cls = mock_class();
    ASSERT_EQ(cls->max_instances, 2);
    FGInstance* slots[FG_MAX_INSTANCES];
    std::memcpy(slots, cls->instance, sizeof slots);
    EXPECT_NE(slots[0], nullptr);
    EXPECT_NE(slots[1], nullptr);

    long handle = -1;
    EXPECT_EQ(open_framegrabber("MockCam", 1, 1, 0, 0, 0, 0, "default", -1, "default", 1.0,
                                "default", "mock*", "0", 0, 0, &handle),
              VERR_FG_NO_INSTANCE);
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(std::memcmp(slots, cls->instance, sizeof slots), 0);
    EXPECT_EQ(mock_open_count(), 2);

    // The plug-in itself answers null and leaves the instance unbound.
    FGInstance probe{};
    EXPECT_EQ(cls->FGAllocInstance(0, &probe), nullptr);
    EXPECT_EQ(probe.plugin_instance, nullptr);

    EXPECT_EQ(close_framegrabber(first), V_OK);
    EXPECT_EQ(cls->instance[0], nullptr);
    EXPECT_EQ(cls->instance[1], slots[1]);
    const long third = open_mock();
    EXPECT_NE(cls->instance[0], nullptr);
    EXPECT_EQ(close_framegrabber(second), V_OK);
    EXPECT_EQ(close_framegrabber(third), V_OK);
    EXPECT_EQ(mock_open_count(), 0);
}

TEST_F(FramegrabberOpenTest, FailedOpenLeavesTheSlotEmptyAndReportsThePluginDetail)
{
    expect_open_refused("fail", FG_ERR_DEVICE);
    EXPECT_EQ(
        vlast_error().rfind("open_framegrabber: no such device: OpenDevice(fginst->device) (", 0),
        0u)
        << vlast_error();
    EXPECT_NE(vlast_error().find("mock_cam.cpp:"), std::string::npos);
    EXPECT_NE(vlast_error().find(") failed with 5302"), std::string::npos);
    // The record is free again: the next open binds slot 0.
    const long next = open_mock();
    EXPECT_NE(mock_class()->instance[0], nullptr);
    EXPECT_EQ(close_framegrabber(next), V_OK);
}

TEST_F(FramegrabberOpenTest, SlotOutsideTheClassIsRefused)
{
    expect_open_refused("foreign_slot", VERR_FG_SLOT);
}

TEST_F(FramegrabberOpenTest, ClosedHandlesAreRefused)
{
    const long handle = open_mock();
    EXPECT_EQ(close_framegrabber(handle), V_OK);
    Vobject image;
    VTuple value;
    EXPECT_EQ(close_framegrabber(handle), VERR_FG_HANDLE);
    EXPECT_EQ(grab_image(&image, handle), VERR_FG_HANDLE);
    EXPECT_EQ(grab_image_start(handle, 10), VERR_FG_HANDLE);
    EXPECT_EQ(grab_image_async(&image, handle, 10), VERR_FG_HANDLE);
    EXPECT_EQ(get_framegrabber_param(handle, "gain", &value), VERR_FG_HANDLE);
    EXPECT_EQ(set_framegrabber_param(handle, "gain", VTuple(1)), VERR_FG_HANDLE);
    EXPECT_TRUE(image.empty());
}

// The first channel of `image` holds first_value, first_value + 1, ... (8 x 4 bytes).
void expect_first_plane(const Vobject& image, int first_value)
{
    void* pixels = nullptr;
    ASSERT_EQ(get_image_pointer1(image, &pixels, nullptr, nullptr, nullptr), V_OK);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(static_cast<const uint8_t*>(pixels)[i], first_value + i);
}

TEST_F(FramegrabberGrabTest, GrabDeliversEveryChannelAsOneImage)
{
    const long gray = open_mock("gray");
    const long rgb = open_mock("rgb");
    Vobject image;
    ASSERT_EQ(grab_image(&image, gray), V_OK);
    int channels = 0, width = 0, height = 0;
    std::string type;
    void* pixels = nullptr;
    ASSERT_EQ(count_channels(image, &channels), V_OK);
    EXPECT_EQ(channels, 1);
    ASSERT_EQ(get_image_pointer1(image, &pixels, &type, &width, &height), V_OK);
    EXPECT_EQ(type, "byte");
    EXPECT_EQ(width, 8);
    EXPECT_EQ(height, 4);
    EXPECT_EQ(static_cast<const uint8_t*>(pixels)[0], 0);
    EXPECT_EQ(static_cast<const uint8_t*>(pixels)[31], 31);
    ASSERT_EQ(grab_image(&image, gray), V_OK);
    ASSERT_EQ(get_image_pointer1(image, &pixels, nullptr, nullptr, nullptr), V_OK);
    EXPECT_EQ(static_cast<const uint8_t*>(pixels)[0], 1) << "the next frame";

    Vobject colour;
    ASSERT_EQ(grab_image(&colour, rgb), V_OK);
    ASSERT_EQ(count_channels(colour, &channels), V_OK);
    EXPECT_EQ(channels, 3);
    void *r, *g, *b;
    ASSERT_EQ(get_image_pointer3(colour, &r, &g, &b, &type, &width, &height), V_OK);
    EXPECT_EQ(static_cast<const uint8_t*>(r)[5], 5);
    EXPECT_EQ(static_cast<const uint8_t*>(g)[5], 15);
    EXPECT_EQ(static_cast<const uint8_t*>(b)[5], 25);
}

TEST_F(FramegrabberGrabTest, WideChannelsBecomeUint2Images)
{
    const long handle = open_mock("gray", 12);
    Vobject image;
    ASSERT_EQ(grab_image(&image, handle), V_OK);
    void* pixels = nullptr;
    std::string type;
    ASSERT_EQ(get_image_pointer1(image, &pixels, &type, nullptr, nullptr), V_OK);
    EXPECT_EQ(type, "uint2");
    EXPECT_EQ(static_cast<const uint16_t*>(pixels)[0], 1000);
    EXPECT_EQ(static_cast<const uint16_t*>(pixels)[31], 1031);
}

TEST_F(FramegrabberGrabTest, FailedImageCreationRestoresGlobal64AndLeavesNoImages)
{
    const long handle = open_mock("rgb");
    ASSERT_EQ(VAccessGlVar(0, 64, GV_WRITE_INFO, nullptr, 7.0, nullptr, nullptr, 0), FG_SUCCESS);
    for (int bad : {0, 1, 2}) {
        ASSERT_EQ(set_framegrabber_param(handle, "bad_channel", VTuple(bad)), V_OK);
        Vobject image;
        EXPECT_EQ(grab_image(&image, handle), VERR_FG_PIXEL_KIND) << bad;
        EXPECT_TRUE(image.empty());
        double global = 0;
        ASSERT_EQ(VAccessGlVar(0, 64, GV_READ_INFO, &global, 0.0, nullptr, nullptr, 0), FG_SUCCESS);
        EXPECT_EQ(global, 7.0);
        EXPECT_TRUE(VXAllocated().size() == 1u) << "only the camera's frame buffer";
    }
    ASSERT_EQ(VAccessGlVar(0, 64, GV_WRITE_INFO, nullptr, 1.0, nullptr, nullptr, 0), FG_SUCCESS);
}

TEST_F(FramegrabberGrabTest, ChannelCountMustMatchTheImagesMade)
{
    const long handle = open_mock("rgb");
    for (int reported : {0, 4, FG_MAX_CHANNELS + 1}) {
        ASSERT_EQ(set_framegrabber_param(handle, "report_channels", VTuple(reported)), V_OK);
        Vobject image;
        EXPECT_EQ(grab_image(&image, handle), VERR_FG_IMAGE) << reported;
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(VXAllocated().size(), 1u) << "only the camera's frame buffer";
    }
    ASSERT_EQ(set_framegrabber_param(handle, "report_channels", VTuple(2)), V_OK);
    Vobject image;
    ASSERT_EQ(grab_image(&image, handle), V_OK);
    int channels = 0;
    ASSERT_EQ(count_channels(image, &channels), V_OK);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(VXAllocated().size(), 1u) << "the third channel is released";
}

TEST_F(FramegrabberGrabTest, ImagesOverPluginMemoryAreCopied)
{
    const long handle = open_mock("gray");
    ASSERT_EQ(set_framegrabber_param(handle, "volatile", VTuple("enable")), V_OK);
    Vobject image;
    ASSERT_EQ(grab_image(&image, handle), V_OK);
    uint8_t* frame = mock<uint8_t*(const FGInstance*)>("MockFrameBuffer")(instance_of_slot(0));
    std::memset(frame, 0, 32);
    expect_first_plane(image, 100);
}

TEST_F(FramegrabberGrabTest, AsynchronousGrabHandsTheDelayToThePlugin)
{
    const long handle = open_mock("gray");
    auto max_delay = mock<int32_t(const FGInstance*)>("MockMaxDelay");
    ASSERT_EQ(grab_image_start(handle, 40.4), V_OK);
    EXPECT_EQ(max_delay(instance_of_slot(0)), 40);
    Vobject image;
    ASSERT_EQ(grab_image_async(&image, handle, 99.6), V_OK);
    EXPECT_EQ(max_delay(instance_of_slot(0)), 100);
    EXPECT_EQ(instance_of_slot(0)->async_grab, 1);
    expect_first_plane(image, 0);
}

TEST_F(FramegrabberParamTest, ValuesCrossTheInterfaceWithTheirTypes)
{
    const long handle = open_mock();
    const VTuple mixed = VTuple(5).append(2.5).append("abc").append(-7);
    ASSERT_EQ(set_framegrabber_param(handle, "echo", mixed), V_OK);
    VTuple value;
    ASSERT_EQ(get_framegrabber_param(handle, "echo", &value), V_OK);
    EXPECT_EQ(value, mixed);
    ASSERT_EQ(get_framegrabber_param(handle, "gain", &value), V_OK);
    EXPECT_EQ(value, VTuple(1.0));

    EXPECT_EQ(set_framegrabber_param(handle, "bad_channel", VTuple(1.5)), FG_ERR_PARAM_TYPE);
    EXPECT_EQ(set_framegrabber_param(handle, "ImageWidth", VTuple(1)), FG_ERR_PARAM_UNKNOWN);
    EXPECT_EQ(vlast_error(), "set_framegrabber_param: parameter not supported: ImageWidth");
    EXPECT_EQ(set_framegrabber_param(handle, "echo", VTuple(1LL << 33)), VERR_PARAM);
    EXPECT_EQ(get_framegrabber_param(handle, "ImageHeight", &value), FG_ERR_PARAM_UNKNOWN);
    EXPECT_EQ(value, VTuple(1.0)) << "kept on failure";
}

TEST_F(FramegrabberParamTest, LongAnswersAreAskedAgainWithRoomEnough)
{
    const long handle = open_mock();
    for (int length : {0, 3, 64, 65, 1000}) {
        ASSERT_EQ(set_framegrabber_param(handle, "list_length", VTuple(length)), V_OK);
        VTuple value;
        ASSERT_EQ(get_framegrabber_param(handle, "list", &value), V_OK) << length;
        ASSERT_EQ(value.length(), std::size_t(length));
        if (length) {
            EXPECT_EQ(value[length - 1].L(), length - 1);
        }
    }
}

TEST_F(FramegrabberInfoTest, DefaultsAreTheFifteenOpenParameters)
{
    std::string text;
    VTuple values;
    ASSERT_EQ(info_framegrabber("MockCam", "defaults", &text, &values), V_OK);
    EXPECT_EQ(text, "Default values (as used for open_framegrabber).");
    const VTuple expected = VTuple(1)
                                .append(1)
                                .append(0)
                                .append(0)
                                .append(0)
                                .append(0)
                                .append("interlaced")
                                .append(8)
                                .append("gray")
                                .append(1.0)
                                .append("false")
                                .append("mock*")
                                .append("0")
                                .append(0)
                                .append(0);
    EXPECT_EQ(values, expected);
}

TEST_F(FramegrabberInfoTest, QueryNamesReachTheirCodes)
{
    std::string text;
    VTuple values;
    ASSERT_EQ(info_framegrabber("MockCam", "parameters", &text, &values), V_OK);
    EXPECT_EQ(text, "Additional parameters for this frame grabber.");
    EXPECT_EQ(values, VTuple("bad_channel")
                          .append("echo")
                          .append("gain")
                          .append("list")
                          .append("list_length")
                          .append("report_channels")
                          .append("volatile"));
    ASSERT_EQ(info_framegrabber("MockCam", "info_boards", &text, &values), V_OK);
    EXPECT_EQ(values, VTuple("mock board 0").append("mock board 1"));
    for (const char* query : {"port", "camera_type", "revision", "field", "bits_per_channel",
                              "color_space", "external_trigger", "device"}) {
        ASSERT_EQ(info_framegrabber("MockCam", query, &text, &values), V_OK) << query;
        EXPECT_EQ(text, "Unsupported query!");
        EXPECT_TRUE(values.empty());
    }
    EXPECT_EQ(info_framegrabber("MockCam", "boards", &text, &values), VERR_PARAM);
    EXPECT_EQ(vlast_error(), "info_framegrabber: wrong value of a control parameter: boards");
}

TEST_F(FramegrabberOpenTest, ThreadsOpenGrabAndCloseTogether)
{
    std::vector<std::thread> threads;
    std::atomic<int> grabbed{0};
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&] {
            for (int round = 0; round < 20; ++round) {
                long handle = 0;
                const Vstatus opened =
                    open_framegrabber("MockCam", 1, 1, 0, 0, 0, 0, "default", -1, "rgb", 1.0,
                                      "default", "mock*", "0", 0, 0, &handle);
                if (opened != V_OK) {
                    EXPECT_EQ(opened, VERR_FG_NO_INSTANCE);
                    continue;
                }
                Vobject image;
                if (grab_image(&image, handle) == V_OK)
                    ++grabbed;
                double global = 0;
                VAccessGlVar(0, 64, GV_READ_INFO, &global, 0.0, nullptr, nullptr, 0);
                EXPECT_EQ(global, 1.0);
                EXPECT_EQ(close_framegrabber(handle), V_OK);
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_GT(grabbed.load(), 0);
    EXPECT_EQ(mock_open_count(), 0);
}

} // namespace

#include <string>

#include "zephon_test_support.h"
#include <dvl/packet.h>

namespace {

const char* const kCl = "\\\\.\\D_SYSTEM_ZEPHON_II_CL";

using ZephonOpen = ZephonTest;

TEST_F(ZephonOpen, TheWorkbenchsValuesOpenTheFirstBoardInCcir)
{
    FGInstance& i = Opened("D_CCIR", "ZEPHON_II:0", "default", -1);
    EXPECT_STREQ(i.color_space, "gray");
    EXPECT_EQ(i.num_channels, 1);
    EXPECT_EQ(i.full_width, 768);
    EXPECT_EQ(i.full_height, 576);
    EXPECT_EQ(i.image_width, 768);
    EXPECT_EQ(i.vertical_resolution, 576);
    EXPECT_EQ(i.bits_per_channel, 8);
    EXPECT_EQ(i.field, FG_FIELD_INTERLACED);
    ASSERT_EQ(dvl::Digitizers().size(), 1u);
    EXPECT_EQ(dvl::Digitizers()[0].channel, DVL_DEFAULT);
    EXPECT_EQ(dvl::Digitizers()[0].name, "Zephon II Dig");
}

TEST_F(ZephonOpen, DeviceTextsNameTheBoardFamilyAndNumber)
{
    dvl::RegisterBoard(Board(24, kCl, 3));
    const std::string long_text = "zephon_ii:0" + std::string(1000, 'x');
    struct Case {
        std::string device;
        FGstatus status;
    };
    for (const Case& c :
         {Case{"ZEPHON_II:0", FG_SUCCESS}, Case{"zephon_ii_cl:3", FG_SUCCESS},
          Case{"Zephon_II:-1", FG_SUCCESS}, Case{long_text, FG_SUCCESS},
          Case{"ZEPHON_II:16", FG_ERR_DEVICE}, Case{"0", FG_ERR_DEVICE},
          Case{"zephon_ii_cl:0", FG_ERR_OPEN}, Case{"ZEPHON_II:-2", FG_ERR_DEVICE}}) {
        FGInstance& i = Request("D_CCIR", c.device.c_str());
        EXPECT_EQ(Open(i), c.status) << c.device.substr(0, 20);
        CloseAll();
    }
}

TEST_F(ZephonOpen, PortsColourSpacesAndBitsOutsideTheBoardsReachAreRefused)
{
    dvl::SimulatedBoard board = Board(24);
    board.formats["D_RGB10"] = {768, 576, 3, 10};
    board.formats["D_MONO17"] = {768, 576, 1, 17};
    dvl::RegisterBoard(board);
    struct Case {
        const char* camera_type;
        const char* color_space;
        int32_t port;
        FGstatus status;
    };
    for (const Case& c :
         {Case{"D_CCIR", "gray", 24, FG_ERR_PORT}, Case{"D_CCIR", "gray", -2, FG_ERR_PORT},
          Case{"D_CCIR", "yuv", -1, FG_ERR_COLOR_SPACE},
          Case{"D_CCIR", "Gray", -1, FG_ERR_COLOR_SPACE},
          Case{"D_RGB10", "gray", -1, FG_ERR_BITS_PER_CHANNEL},
          Case{"D_MONO17", "gray", -1, FG_ERR_BITS_PER_CHANNEL},
          Case{"D_NONE", "gray", -1, FG_ERR_OPEN}}) {
        FGInstance& i = Request(c.camera_type, "ZEPHON_II:0", c.color_space, c.port);
        EXPECT_EQ(Open(i), c.status) << c.camera_type << " " << c.color_space << " " << c.port;
    }
}

TEST_F(ZephonOpen, EachPortSelectsItsChannel)
{
    const int32_t channels[] = {0x20000000, 0x40000000, int32_t(0x80000000),
                                0x01000000, 0x02000000, 0x04000000,
                                0x08000000, 0x00200000, 0x00010000,
                                0x00020000, 0x00040000, 0x00080000,
                                0x1000,     0x2000,     0x4000,
                                0x8000,     0x100,      0x200,
                                0x400,      0x800,      0x10,
                                0x20,       0x40,       0x80};
    for (int32_t port = 0; port < 24; ++port) {
        FGInstance& i = Opened("D_CCIR", "ZEPHON_II:0", "gray", port);
        ASSERT_EQ(dvl::Digitizers().size(), 1u);
        EXPECT_EQ(dvl::Digitizers()[0].channel, channels[port]) << port;
        Close(i);
    }
}

TEST_F(ZephonOpen, BoardType50TakesThePortAsDigitizerNumber)
{
    dvl::SimulatedBoard board = Board(50);
    board.digitizers = 16;
    dvl::RegisterBoard(board);
    FGInstance& i = Opened("D_CCIR", "ZEPHON_II:0", "gray", -1);
    EXPECT_EQ(i.port, 0);
    FGInstance& second = Request("D_CCIR", "ZEPHON_II:0", "gray", 16);
    EXPECT_EQ(Open(second), FG_ERR_PORT);
}

TEST_F(ZephonOpen, AnotherLibraryVersionIsRefusedWithItsNumber)
{
    dvl::SetVersion(7.4);
    for (int32_t low : {0, 1}) {
        VDoLowError = low;
        testing::internal::CaptureStderr();
        EXPECT_EQ(Open(Request()), FG_ERR_LIB_VERSION);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(printed.find("Wrong version of dvl.dll found: 7.40 instead of 7.50.") !=
                      std::string::npos,
                  low == 1)
            << printed;
    }
}

TEST_F(ZephonOpen, LibraryFailuresPrintTheLibrarysTextAndReleaseWhatWasTaken)
{
    struct Case {
        int ordinal;
        FGstatus status;
    };
    for (const Case& c :
         {Case{DVL_ORD_SYS_ALLOC, FG_ERR_OPEN}, Case{DVL_ORD_DIG_ALLOC, FG_ERR_OPEN},
          Case{DVL_ORD_DIG_HOOK_FUNCTION, FG_ERR_OPEN}, Case{DVL_ORD_DIG_CHANNEL, FG_ERR_OPEN},
          Case{DVL_ORD_DIG_CONTROL, FG_ERR_OPEN},
          Case{DVL_ORD_BUF_ALLOC_COLOR, FG_ERR_NO_MEMORY}}) {
        dvl::FailNextCall(c.ordinal, "Board refused.");
        testing::internal::CaptureStderr();
        EXPECT_EQ(Open(Request()), c.status) << c.ordinal;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Board refused."), std::string::npos)
            << c.ordinal;
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << c.ordinal;
    }
}

TEST_F(ZephonOpen, RefusedInquiriesOfUnusedItemsAreReportedAndTheOpenGoesOn)
{
    VDoLowError = 1;
    for (int32_t item : {1008, 1010, 1014, 4011}) {
        dvl::FailNextInquiry(item, "Item refused.");
        testing::internal::CaptureStderr();
        FGInstance& i = Request();
        EXPECT_EQ(Open(i), FG_SUCCESS) << item;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Item refused."), std::string::npos)
            << item;
        EXPECT_EQ(i.image_width, 768) << item;
        Close(i);
    }
}

// The grabs copy by the format read at the open: without it (a grey grab of
// a monochrome board took it for colour and read a missing buffer) there is no open.
TEST_F(ZephonOpen, RefusedInquiriesOfTheFormatFailTheOpen)
{
    for (int32_t item : {DVL_DIG_SIZE_X, DVL_DIG_SIZE_Y, DVL_DIG_SIZE_BIT, DVL_DIG_SIZE_BAND}) {
        dvl::FailNextInquiry(item, "Item refused.");
        testing::internal::CaptureStderr();
        EXPECT_EQ(Open(Request(kCamera, kDevice, "gray")), FG_ERR_OPEN) << item;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Item refused."), std::string::npos)
            << item;
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << item;
    }
}

TEST_F(ZephonOpen, AHardwareExceptionDuringTheOpenIsReported)
{
    VDoLowError = 1;
    for (int ordinal : {DVL_ORD_DIG_ALLOC, DVL_ORD_DIG_HOOK_FUNCTION}) {
        dvl::ThrowOnNextCall(ordinal, 0xC0000005);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Open(Request()), FG_ERR_OPEN);
        EXPECT_NE(testing::internal::GetCapturedStderr().find(
                      "Exception c0000005 during framegrabber initialization"),
                  std::string::npos);
        EXPECT_EQ(dvl::AllocatedObjects(), 0);
    }
}

TEST_F(ZephonOpen, ASmallDigitizerGetsBuffersOfAtLeast512By480)
{
    dvl::SimulatedBoard board = Board(24);
    board.formats["D_SMALL"] = {320, 240, 1};
    dvl::RegisterBoard(board);
    FGInstance& i = Opened("D_SMALL");
    EXPECT_EQ(i.image_width, 320);
    Images images;
    ASSERT_EQ(Grab(i, images), FG_SUCCESS);
    EXPECT_EQ(images.record[0].width, 320);
    // Frame 0 of the pattern: x / 2 + y / 2, each row 320 pixels.
    EXPECT_EQ(images.Byte(0, 0, 1), 0);
    EXPECT_EQ(images.Byte(0, 300, 239), uint8_t(150 + 119));
}

TEST_F(ZephonOpen, ThirtyTwoInstancesAtMost)
{
    for (int n = 0; n < FG_MAX_INSTANCES; ++n)
        Opened();
    FGInstance& one_more = Request();
    EXPECT_EQ(cls_.FGAllocInstance(1, &one_more), nullptr);
}

TEST_F(ZephonOpen, EachRecordHandedOutOnceUntilItsOpenFailsOrItCloses)
{
    FGInstance& first = Request();
    FGInstance& second = Request();
    FGInstance** first_slot = cls_.FGAllocInstance(1, &first);
    FGInstance** second_slot = cls_.FGAllocInstance(1, &second);
    EXPECT_EQ(first_slot, &cls_.instance[0]);
    EXPECT_EQ(second_slot, &cls_.instance[1]);
    EXPECT_NE(first.plugin_instance, second.plugin_instance);
    *first_slot = &first;
    ASSERT_EQ(cls_.FGOpen(1, &first), FG_SUCCESS);
    fg_copy_text(second.device, sizeof second.device, "0");
    EXPECT_EQ(cls_.FGOpen(1, &second), FG_ERR_DEVICE);
    FGInstance& third = Request();
    EXPECT_EQ(cls_.FGAllocInstance(1, &third), &cls_.instance[1]);
    EXPECT_EQ(cls_.FGClose(1, &first), FG_SUCCESS);
    *first_slot = nullptr;
    EXPECT_EQ(cls_.FGAllocInstance(1, &Request()), &cls_.instance[0]);
}

TEST_F(ZephonOpen, ShareableBoardsAreSharedOthersAreBusy)
{
    for (int32_t type : {24, 50, 536, 27}) {
        dvl::RegisterBoard(Board(type));
        FGInstance& first = Opened();
        FGInstance& second = Request();
        EXPECT_EQ(Open(second), type == 27 ? FG_ERR_DEVICE_BUSY : FG_SUCCESS) << type;
        Close(first);
        EXPECT_EQ(dvl::AllocatedObjects() > 0, type != 27) << type;
        CloseAll();
        EXPECT_EQ(dvl::AllocatedObjects(), 0);
    }
}

TEST_F(ZephonOpen, OpeningOnASharedBoardAbortsTheOtherInstancesGrab)
{
    FGInstance& first = Request();
    first.external_trigger = 1;
    ASSERT_EQ(Open(first), FG_SUCCESS);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &first, 100.0), FG_SUCCESS);
    EXPECT_TRUE(dvl::Digitizers()[0].grabbing);
    Opened();
    EXPECT_FALSE(dvl::Digitizers()[0].grabbing);
}

TEST_F(ZephonOpen, CloseReleasesEverythingEvenWhenABufferCannotBeFreed)
{
    FGInstance& i = Opened();
    dvl::FailNextCall(DVL_ORD_BUF_FREE, "Busy.");
    testing::internal::CaptureStderr();
    Close(i, FG_ERR_DEVICE_CALL);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(dvl::AllocatedObjects(), 0); // the buffer went with the system
}

TEST_F(ZephonOpen, TheDigitizerModuleHearsOfTheDigitizerAndItsGrabs)
{
    dvl::BrnClearReceivedPackets();
    FGInstance& i = Opened();
    const auto packets = dvl::BrnReceivedPackets();
    ASSERT_GE(packets.size(), 2u);
    std::vector<std::size_t> offsets;
    ASSERT_TRUE(dvl::WalkParameters(packets[0].data(), packets[0].size(), offsets));
    EXPECT_EQ(dvl::Load<uint32_t>(packets[0].data() + dvl::kCodeOffset), dvl::kCommandAllocate);
    EXPECT_EQ(dvl::Load<int32_t>(packets[0].data() + offsets[1] + dvl::kDescriptorSize), 0x1000000);
    for (int n = 0; n < 1000; ++n) {
        Images images;
        ASSERT_EQ(Grab(i, images), FG_SUCCESS);
    }
    EXPECT_EQ(dvl::BrnReceivedPackets().size(), dvl::kBrnRecordedPackets);
    dvl::BrnClearReceivedPackets();
}

} // namespace

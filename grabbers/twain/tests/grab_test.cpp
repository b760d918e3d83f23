#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "grabbers/twain/instance.h"
#include "tests/support/scoped_setting.h"
#include "twain_test_support.h"

namespace {

using namespace std::chrono_literals;
using TwainGrabTest = TwainTest;

// Channel `c` of pixel (x, y) of the n-th page at `bits` bits and pixel type
// `type`, as the grab delivers it.
uint32_t Expected(int bits, TW_UINT16 type, int c, uint32_t x, uint32_t y, uint32_t n)
{
    const uint32_t index = x + y + n;
    switch (bits) {
    case 1:
        return index & 1 ? 255 : 0;
    case 4: {
        const uint32_t colour[] = {255 - (index & 15), index & 15, 3 * (index & 15)};
        return colour[c];
    }
    case 8:
        return type == TWPT_GRAY ? index & 255 : 255 - (index & 255);
    case 16:
        return (256 * x + y + n) & 0xFFFF;
    case 48: {
        const uint32_t colour[] = {256 * x + y, 256 * y + n, 256 * n + x};
        return colour[c] & 0xFFFF;
    }
    }
    const uint32_t colour[] = {x, y, n};
    return colour[c] & 0xFF;
}

// Pixels of the 13 x 7 page that differ from the formula.
int WrongPixels(const Images& images, int bits, TW_UINT16 type, uint32_t n)
{
    int wrong = 0;
    for (int c = 0; c < images.count; ++c)
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x) {
                const uint32_t value = images.record[c].kind == UINT2_IMAGE ? images.Word(c, x, y)
                                                                            : images.Byte(c, x, y);
                wrong += value != Expected(bits, type, c, x, y, n);
            }
    return wrong;
}

TEST_F(TwainGrabTest, EveryDepthComesThroughEveryTransferInBothRowOrders)
{
    struct Depth {
        TW_UINT16 bits;
        TW_UINT16 type;
        int channels;
        int32_t kind;
        int32_t bits_written;
        const char* space_written;
    };
    const Depth depths[] = {
        {1, TWPT_BW, 1, BYTE_IMAGE, 1, "bw"},        {4, TWPT_PALETTE, 3, BYTE_IMAGE, 4, "rgb"},
        {8, TWPT_GRAY, 1, BYTE_IMAGE, 8, "gray"},    {8, TWPT_PALETTE, 1, BYTE_IMAGE, 8, "gray"},
        {16, TWPT_GRAY, 1, UINT2_IMAGE, 16, "gray"}, {24, TWPT_RGB, 3, BYTE_IMAGE, 8, "rgb"},
        {32, TWPT_RGB, 3, BYTE_IMAGE, 8, "rgb"},     {48, TWPT_RGB, 3, UINT2_IMAGE, 16, "rgb"},
    };
    struct Way {
        const char* name;
        TW_UINT16 mechanism;
        bool top_down;
    };
    const Way ways[] = {
        {"native", TWSX_NATIVE, false}, {"native top-down", TWSX_NATIVE, true},
        {"file", TWSX_FILE, false},     {"file top-down", TWSX_FILE, true},
        {"memory", TWSX_MEMORY, false},
    };
    for (const Way& way : ways)
        for (const Depth& d : depths) {
            twsim::SourceConfig config = SmallPage();
            config.bit_depth = d.bits;
            config.pixel_type = d.type;
            config.xfer_mech = way.mechanism;
            config.top_down = way.top_down;
            config.strip_rows = 3;
            twsim::Configure({config});
            FGInstance& i = Opened();
            Images images;
            ASSERT_EQ(Grab(i, images), FG_SUCCESS) << way.name << " " << d.bits;
            ASSERT_EQ(images.count, d.channels) << way.name << " " << d.bits;
            EXPECT_EQ(images.record[0].kind, d.kind);
            EXPECT_EQ(i.bits_per_channel, d.bits_written);
            EXPECT_STREQ(i.color_space, d.space_written);
            EXPECT_EQ(i.image_width, 13);
            EXPECT_EQ(i.image_height, 7);
            EXPECT_EQ(WrongPixels(images, d.bits, d.type, 1), 0) << way.name << " " << d.bits;
            Close(i);
        }
}

TEST_F(TwainGrabTest, BitmapsAndTransfersThatCannotBeTakenEndTheGrabWithoutAnImage)
{
    const std::string cancelled = "FGGrab info: User has aborted image transfer with ESC\n";
    const std::string memory_error = "Error during Memory Transfer!\n";
    struct Case {
        const char* name;
        twsim::SourceConfig config;
        twsim::UserAction action;
        std::string text;
    };
    auto with = [](auto change) {
        twsim::SourceConfig config;
        change(config);
        return config;
    };
    const Case cases[] = {
        {"compressed", with([](auto& c) { c.compressed = true; }), twsim::UserAction::Transfer,
         "FGGrab error: Bitmap is compressed; not supported at the moment!\n"},
        {"compressed strips", with([](auto& c) {
             c.compressed = true;
             c.xfer_mech = TWSX_MEMORY;
         }),
         twsim::UserAction::Transfer,
         "FGGrab error: Bitmap is compressed; not supported at the moment!\n"},
        {"2 bits", with([](auto& c) { c.bit_depth = 2; }), twsim::UserAction::Transfer,
         "FGGrab error: Bad value for biBitCount\n"},
        {"short block", with([](auto& c) { c.bitmap_cut = 1; }), twsim::UserAction::Transfer,
         "FGGrab error: Bitmap does not fit in its memory block\n"},
        {"strip outside", with([](auto& c) {
             c.xfer_mech = TWSX_MEMORY;
             c.strip_outside = true;
         }),
         twsim::UserAction::Transfer, memory_error},
        {"not a bitmap file", with([](auto& c) {
             c.xfer_mech = TWSX_FILE;
             c.file_format = 3;
         }),
         twsim::UserAction::Transfer,
         "File format not supported!\n<SetupMsgGet.Format> returned '3'.\n"},
        {"cancel native", {}, twsim::UserAction::Cancel, cancelled},
        {"cancel memory", with([](auto& c) { c.xfer_mech = TWSX_MEMORY; }),
         twsim::UserAction::Cancel, cancelled},
        {"cancel file", with([](auto& c) { c.xfer_mech = TWSX_FILE; }), twsim::UserAction::Cancel,
         cancelled},
        {"close request", {}, twsim::UserAction::CloseRequest, ""},
    };
    for (const Case& c : cases) {
        twsim::Configure({c.config});
        twsim::SetUser({false, c.action});
        FGInstance& i = Opened();
        Images images;
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Grab(i, images); }), c.text) << c.name;
        EXPECT_EQ(status, FG_ERR_GRAB) << c.name;
        EXPECT_EQ(images.count, 0);
        Close(i);
    }
}

TEST_F(TwainGrabTest, FailuresOfTheSourceOrOfMemoryLeaveItOpenAndUsable)
{
    FGInstance& i = Opened();
    struct Case {
        const char* name;
        TW_UINT32 dg;
        TW_UINT16 dat, msg, cc;
        int alloc_fault, lock_fault;
        TW_UINT16 mechanism;
        std::string text;
    };
    const Case cases[] = {
        {"enable", DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, TWCC_OPERATIONERROR, 0, 0,
         TWSX_NATIVE,
         "FGGrab error: DG_CONTROL/DAT_USERINTERFACE/MSG_ENABLEDS failed\n"
         "condition code = TWCC_OPERATIONERROR\n"
         "FGGrab error: DG_CONTROL/DAT_USERINTERFACE/MSG_DISABLEDS failed\n"
         "condition code = TWCC_SEQERROR\n"},
        {"native", DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, TWCC_LOWMEMORY, 0, 0, TWSX_NATIVE,
         "FGGrab error: DG_IMAGE/DAT_IMAGENATIVEXFER/MSG_GET failed\n"
         "condition code = TWCC_LOWMEMORY\n"},
        {"native unknown", DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 77, 0, 0, TWSX_NATIVE,
         "FGGrab error: DG_IMAGE/DAT_IMAGENATIVEXFER/MSG_GET failed\nCondition code is: 77\n"},
        {"lock", 0, 0, 0, 0, 0, 8, TWSX_NATIVE, "FGGrab error: GlobalLock failed\n"},
        {"setup memory", DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, TWCC_SEQERROR, 0, 0, TWSX_MEMORY,
         "DG_CONTROL/DAT_SETUPMEMXFER/MSG_GET\ncondition code = TWCC_SEQERROR\n"},
        {"strip", DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, TWCC_BADVALUE, 0, 0, TWSX_MEMORY,
         "DG_IMAGE/DAT_IMAGEMEMXFER/MSG_GET\ncondition code = TWCC_BADVALUE\n"},
        {"memory alloc", 0, 0, 0, 0, 3, 0, TWSX_MEMORY,
         "GlobalAlloc Failed during Memory Transfer!\n"},
        {"file", DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, TWCC_OPERATIONERROR, 0, 0, TWSX_FILE,
         "DG_IMAGE/DAT_IMAGEFILEXFER/MSG_GET\ncondition code = TWCC_OPERATIONERROR\n"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Set(i, "xfermech",
                      Text(c.mechanism == TWSX_NATIVE   ? "native"
                           : c.mechanism == TWSX_MEMORY ? "memory"
                                                        : "file")),
                  FG_SUCCESS);
        if (c.dg)
            twsim::FailTriplet(c.dg, c.dat, c.msg, TWRC_FAILURE, c.cc);
        twain::FailGlobalAlloc(c.alloc_fault);
        twain::FailGlobalLock(c.lock_fault);
        Images images;
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Grab(i, images); }), c.text) << c.name;
        EXPECT_EQ(status, FG_ERR_GRAB) << c.name;
    }
    // A file transfer that finds no temporary folder.
    Images images;
    FGstatus status = 0;
    {
        const ScopedVariable noTemporaryFolder("TMPDIR", "/nonexistent-ondula");
        EXPECT_EQ(Printed([&] { status = Grab(i, images); }),
                  "Unable to create file for file transfer!\n");
    }
    EXPECT_EQ(status, FG_ERR_GRAB);
    // The source still works.
    ASSERT_EQ(Grab(i, images), FG_SUCCESS);
    EXPECT_EQ(images.Byte(0, 5, 0), 5);
}

TEST_F(TwainGrabTest, SourceThatNeedsItsDialogOrStaysSilentEndsTheGrab)
{
    twsim::SourceConfig needs_dialog;
    needs_dialog.needs_user_interface = true;
    twsim::Configure({needs_dialog});
    FGInstance& hidden = Opened("inches");
    Images images;
    FGstatus status = 0;
    EXPECT_EQ(Printed([&] { status = Grab(hidden, images); }),
              "FGGrab error: Your source doesn't work without displaying the user interface!\n");
    EXPECT_EQ(status, FG_ERR_GRAB);
    Close(hidden);

    twsim::SetUser({false, twsim::UserAction::Silent});
    FGInstance& i = Opened();
    const auto start = clock_.Now();
    EXPECT_EQ(Printed([&] { status = Grab(i, images); }),
              "FGGrab error: No message from the source for 60 s\n");
    EXPECT_EQ(status, FG_ERR_GRAB);
    EXPECT_GE(clock_.Now() - start, 60s);
    EXPECT_LT(clock_.Now() - start, 61s);
}

TEST_F(TwainGrabTest, AsynchronousStartTakesNoImage)
{
    twsim::Configure({SmallPage()});
    FGInstance& i = Opened();
    const auto& record = *static_cast<const vfgtwain::TwainInstance*>(i.plugin_instance);
    EXPECT_EQ(record.max_delay_ms, 10000);
    clock_.Advance(12345ms);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 250.6), FG_SUCCESS);
    EXPECT_EQ(i.async_grab, 1);
    EXPECT_EQ(record.max_delay_ms, 251);
    EXPECT_EQ(record.start_seconds, 12);
    EXPECT_EQ(record.start_milliseconds, 345);
    EXPECT_EQ(twsim::Count().transfers, 0);
    for (uint32_t n = 1; n <= 2; ++n) {
        Images images;
        ASSERT_EQ(cls_.FGGrabAsync(1, &i, 99.4, images.record, &images.count), FG_SUCCESS);
        EXPECT_EQ(i.async_grab, 0);
        EXPECT_EQ(record.max_delay_ms, 99);
        EXPECT_EQ(WrongPixels(images, 24, TWPT_RGB, n), 0) << n;
    }
}

// The pixel type and depth after every grab, and the units during a memory
// transfer, are asked for; a source that refuses one still gives its image.
TEST_F(TwainGrabTest, CapabilitiesAskedAroundTheTransferMayBeRefused)
{
    twsim::Configure({SmallPage()});
    FGInstance& i = Opened();
    const std::string refused =
        "GetCapValue error: Capability negotiation failed\ncondition code = TWCC_BADCAP\n";
    struct Case {
        const char* mechanism;
        int refused_call; // of the grab's MSG_GETCURRENT calls, the first asks the mechanism
    };
    for (const Case& c : {Case{"native", 2}, Case{"native", 3}, Case{"memory", 2},
                          Case{"memory", 3}, Case{"memory", 4}}) {
        ASSERT_EQ(Set(i, "xfermech", Text(c.mechanism)), FG_SUCCESS);
        twsim::FailTriplet(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, TWRC_FAILURE, TWCC_BADCAP,
                           c.refused_call);
        Images images;
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Grab(i, images); }), refused)
            << c.mechanism << c.refused_call;
        ASSERT_EQ(status, FG_SUCCESS);
        EXPECT_EQ(images.Byte(0, 5, 0), 5);
    }
}

TEST_F(TwainGrabTest, FileTransferWritesOnlyAFileOfItsOwn)
{
    const std::filesystem::path users = std::filesystem::temp_directory_path() / "ondula-users.bmp";
    std::ofstream(users) << "the user's own file";
    twsim::SourceConfig config = SmallPage();
    config.xfer_mech = TWSX_FILE;
    config.file_name = users.string();
    twsim::Configure({config});
    FGInstance& i = Opened();
    Images images;
    ASSERT_EQ(Grab(i, images), FG_SUCCESS);
    EXPECT_EQ(WrongPixels(images, 24, TWPT_RGB, 1), 0);
    std::ifstream in(users);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the user's own file");
    EXPECT_NE(twsim::LastFile(), users.string());
    EXPECT_FALSE(std::filesystem::exists(twsim::LastFile()));
    std::filesystem::remove(users);
}

TEST_F(TwainGrabTest, InteractiveUnitsKeepTheUsersSettingsForTheNextOpen)
{
    twsim::SourceConfig inches_only;
    inches_only.units = {TWUN_INCHES};
    const std::string layout_lost =
        "SaveSettings error: Image layout cannot be determined; ImageWidth, ImageHeight, "
        "StartColumn, StartRow are set to -1\n";
    struct Case {
        twsim::SourceConfig source;
        const char* camera_type;
        bool lose_layout;
        const char* camera_type_after;
        int32_t resolution[2];
        int32_t part[4]; // start column, start row, width, height
        std::string text;
    };
    const Case cases[] = {
        {{}, "interactive:centimeters", false, "centimeters", {39, 39}, {0, 0, 640, 480}, ""},
        {{}, "interactive:inches", false, "inches", {100, 100}, {0, 0, 640, 480}, ""},
        {{}, "interactive:pixels", false, "pixels", {850, 1100}, {0, 0, 640, 480}, ""},
        {{}, "interactive:points", true, "points", {1, 1}, {-1, -1, -1, -1}, layout_lost},
        {inches_only,
         "interactive:twips",
         false,
         "inches",
         {100, 100},
         {0, 0, 640, 480},
         "SetCapValue error: DG_CONTROL/DAT_CAPABILITY/MSG_SET failed\n"
         "condition code =  TWCC_BADVALUE\n"},
    };
    for (const Case& c : cases) {
        twsim::Configure({c.source});
        FGInstance& i = Opened(c.camera_type);
        EXPECT_EQ(Get(i, "userinterface"), "show");
        if (c.lose_layout)
            twsim::FailTriplet(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, TWRC_FAILURE, TWCC_BUMMER);
        Images images;
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Grab(i, images); }), c.text) << c.camera_type;
        EXPECT_EQ(status, FG_SUCCESS);
        EXPECT_STREQ(i.camera_type, c.camera_type_after);
        EXPECT_EQ(i.horizontal_resolution, c.resolution[0]) << c.camera_type;
        EXPECT_EQ(i.vertical_resolution, c.resolution[1]) << c.camera_type;
        EXPECT_EQ(i.start_column, c.part[0]) << c.camera_type;
        EXPECT_EQ(i.start_row, c.part[1]) << c.camera_type;
        EXPECT_EQ(i.image_width, c.part[2]) << c.camera_type;
        EXPECT_EQ(i.image_height, c.part[3]) << c.camera_type;
        EXPECT_STREQ(i.color_space, "rgb");
        EXPECT_EQ(i.bits_per_channel, 24);
        Close(i);
    }
}

} // namespace

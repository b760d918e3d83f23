#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "twain_test_support.h"

namespace {

using TwainOpenTest = TwainTest;

TEST_F(TwainOpenTest, ApplicationPresentsItsIdentityAndFixedPointKeepsItsRounding)
{
    Opened();
    const TW_IDENTITY a = twsim::LastApplication();
    EXPECT_EQ(a.Version.MajorNum, 5);
    EXPECT_EQ(a.Version.MinorNum, 2);
    EXPECT_EQ(a.Version.Language, 6);
    EXPECT_EQ(a.Version.Country, 49);
    EXPECT_STREQ(a.Version.Info, "Your Apllication\xB4s Version String");
    EXPECT_EQ(a.ProtocolMajor, 1);
    EXPECT_EQ(a.ProtocolMinor, 7);
    EXPECT_EQ(a.SupportedGroups, 3u);
    EXPECT_STREQ(a.Manufacturer, "Selvane Software GmbH");
    EXPECT_STREQ(a.ProductFamily, "machine vision software");
    EXPECT_STREQ(a.ProductName, "Verodyn");
    EXPECT_EQ(cls_.max_instances, 1);
    EXPECT_STREQ(cls_.camera_type, "interactive");
    EXPECT_STREQ(cls_.color_space, "rgb");
    EXPECT_EQ(cls_.field, FG_FIELD_INTERLACED);
    EXPECT_EQ(cls_.horizontal_resolution, -1);

    struct Case {
        double real;
        TW_INT16 whole;
        TW_UINT16 frac;
    };
    for (const Case& c : {Case{1.5, 1, 32768}, Case{-1.5, -2, 32769}, Case{0.1, 0, 6554}}) {
        const TW_FIX32 fix = TwainRealToFix32(c.real);
        EXPECT_EQ(fix.Whole, c.whole) << c.real;
        EXPECT_EQ(fix.Frac, c.frac) << c.real;
    }
    EXPECT_EQ(TwainFix32ToReal({1, 32768}), 1.5);
}

// A folder of its own for a manager, removed with the test.
class ManagerFolder {
public:
    explicit ManagerFolder(const char* name) : path_(std::filesystem::temp_directory_path() / name)
    {
        std::filesystem::create_directories(path_);
    }
    ~ManagerFolder() { std::filesystem::remove_all(path_); }
    std::string Path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

TEST_F(TwainOpenTest, ManagerThatCannotBeUsedRefusesTheOpen)
{
    const ManagerFolder empty("ondula-twain-empty"), junk("ondula-twain-junk/");
    std::ofstream(junk.Path() + "twain_32.so") << "not a library";
    const std::pair<std::string, const char*> cases[] = {
        {empty.Path(), "FGOpen error: twain_32.dll not found\n"},
        {junk.Path(), "FGOpen error: Could not open twain_32.dll\n"},
        {NO_ENTRY_MANAGER_DIR, "FGOpen error: Entry point of twain_32.dll not found\n"},
    };
    for (const auto& [folder, text] : cases) {
        managerFolder_.Set(folder.c_str());
        FGInstance& i = Request();
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Open(i); }), text);
        EXPECT_EQ(status, FG_ERR_OPEN) << folder;
        ExpectNothingOpen();
    }
    managerFolder_.Set(BUILT_MANAGER_DIR);
    Close(Opened());
}

TEST_F(TwainOpenTest, SourceIsChosenByTheUserTheDefaultOrItsName)
{
    twsim::SourceConfig second;
    second.product_name = "Second Scanner";
    const std::string long_name(283, 'x');
    const std::string too_long(284, 'x');
    struct Case {
        std::vector<twsim::SourceConfig> sources;
        const char* device;
        bool escape;
        FGstatus status;
        const char* opened; // the source open afterwards
        const char* text;
    };
    const Case cases[] = {
        {{{}, second}, "interactive", false, FG_SUCCESS, "Ondula Scanner", ""},
        {{{}, second}, "automatic", false, FG_SUCCESS, "Ondula Scanner", ""},
        {{{}, second}, "sEcOnD sCaNnEr", false, FG_SUCCESS, "Second Scanner", ""},
        {{{}, second}, "Third Scanner", false, FG_ERR_OPEN, nullptr, ""},
        {{{}, second}, long_name.c_str(), false, FG_ERR_OPEN, nullptr, ""},
        {{{}, second}, too_long.c_str(), false, FG_ERR_DEVICE, nullptr, ""},
        {{{}},
         "interactive",
         true,
         FG_ERR_OPEN,
         nullptr,
         "FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_USERSELECT aborted with ESC\n"},
        {{},
         "interactive",
         false,
         FG_ERR_OPEN,
         nullptr,
         "FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_USERSELECT failed\n"
         "condition code = TWCC_NODS\n"},
        {{},
         "automatic",
         false,
         FG_ERR_OPEN,
         nullptr,
         "FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_GETDEFAULT failed\n"
         "condition code = TWCC_NODS: no data source available\n"},
        {{},
         "Ondula Scanner",
         false,
         FG_ERR_OPEN,
         nullptr,
         "FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_GETFIRST failed\n"
         "condition code = TWCC_NODS: no sources can be found\n"},
    };
    for (const Case& c : cases) {
        twsim::Configure(c.sources);
        twsim::SetUser({c.escape, twsim::UserAction::Transfer});
        FGInstance& i = Request("interactive", c.device);
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Open(i); }), c.text) << c.device;
        EXPECT_EQ(status, c.status) << c.device;
        twsim::Settings settings;
        if (c.opened) {
            EXPECT_TRUE(twsim::CurrentSettings(c.opened, &settings)) << c.device;
        }
        EXPECT_EQ(twsim::Count().sources, c.opened ? 1 : 0) << c.device;
        Close(i);
    }
}

TEST_F(TwainOpenTest, ManagerAndSourceFailuresCloseWhatWasOpened)
{
    struct Case {
        TW_UINT16 msg;
        TW_UINT16 cc;
        const char* camera_type;
        const char* device;
        FGstatus status;
        const char* text;
    };
    const Case cases[] = {
        {MSG_OPENDSM, TWCC_LOWMEMORY, "interactive", "interactive", FG_ERR_OPEN,
         "FGOpen error: DG_CONTROL/DAT_PARENT/MSG_OPENDSM failed\n"
         "condition code = TWCC_LOWMEMORY\n"},
        {MSG_OPENDSM, TWCC_BADVALUE, "interactive", "interactive", FG_ERR_OPEN,
         "FGOpen error: DG_CONTROL/DAT_PARENT/MSG_OPENDSM failed\n"
         "Source delivered an unknown condition code\n"},
        {MSG_OPENDS, TWCC_MAXCONNECTIONS, "interactive", "interactive", FG_ERR_OPEN,
         "FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_OPENDS failed\n"
         "condition code = TWCC_MAXCONNECTIONS\n"},
        {MSG_GETNEXT, TWCC_OPERATIONERROR, "interactive", "Second", FG_ERR_DEVICE,
         "FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_GETNEXT failed\n"
         "condition code = TWCC_OPERATIONERROR\n"},
        {MSG_NULL, 0, "millimeters", "interactive", FG_ERR_CAMERA_TYPE, ""},
        {MSG_NULL, 0, "interactive:millimeters", "interactive", FG_ERR_CAMERA_TYPE, ""},
    };
    for (const Case& c : cases) {
        if (c.msg != MSG_NULL)
            twsim::FailTriplet(DG_CONTROL, c.msg == MSG_OPENDSM ? DAT_PARENT : DAT_IDENTITY, c.msg,
                               TWRC_FAILURE, c.cc);
        FGInstance& i = Request(c.camera_type, c.device);
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Open(i); }), c.text);
        EXPECT_EQ(status, c.status);
        ExpectNothingOpen();
    }
    // One instance at a time: the slot is refused while one is open.
    Opened();
    FGInstance& second = Request();
    EXPECT_EQ(cls_.FGAllocInstance(1, &second), nullptr);
}

// The part of the open parameters of a request: resolution x and y, start
// column, start row, width, height.
using Block = std::array<int32_t, 6>;

// The open parameters a request asks for, or an open tells back.
struct OpenFields {
    Block block;
    const char* color_space;
    int32_t bits;
};

void Ask(FGInstance& i, const OpenFields& asked)
{
    const Block& b = asked.block;
    i.horizontal_resolution = b[0];
    i.vertical_resolution = b[1];
    i.start_column = b[2];
    i.start_row = b[3];
    i.image_width = b[4];
    i.image_height = b[5];
    fg_copy_text(i.color_space, sizeof i.color_space, asked.color_space);
    i.bits_per_channel = asked.bits;
}

Block Told(const FGInstance& i)
{
    return {i.horizontal_resolution, i.vertical_resolution, i.start_column, i.start_row,
            i.image_width,           i.image_height};
}

TEST_F(TwainOpenTest, BareUnitsNegotiateTheOpenParameters)
{
    twsim::SourceConfig no_size;
    no_size.physical_width = 0;
    const Block none = {-1, -1, -1, -1, -1, -1};
    struct Case {
        twsim::SourceConfig source;
        const char* camera_type;
        OpenFields asked;
        OpenFields told;          // the fields after the open
        twsim::Settings settings; // units, dpi x y, scaling x y, frame, pixel type, bit depth
        std::string text;
    };
    const std::string refused = "SetCapValue error: DG_CONTROL/DAT_CAPABILITY/MSG_SET failed\n"
                                "condition code =  TWCC_BADVALUE\n";
    const Case cases[] = {
        {{},
         "inches",
         {{200, 300, 10, 20, 300, 200}, "gray", 8},
         {{200, 300, 10, 20, 300, 200}, "gray", 8},
         {TWUN_INCHES, 200, 300, 1, 1, 0.05, 0.0667, 1.55, 0.7333, TWPT_GRAY, 8},
         ""},
        {{},
         "centimeters",
         {none, "rgb", -1},
         {none, "rgb", -1},
         {TWUN_CENTIMETERS, 100, 100, 1, 1, 0, 0, 6.4, 4.8, TWPT_RGB, 24},
         ""},
        {{},
         "pixels",
         {{425, 550, 100, 50, 200, 100}, "bw", 1},
         {{425, 550, 100, 50, 200, 100}, "bw", 1},
         {TWUN_PIXELS, 100, 100, 0.5, 0.5, 1, 0.5, 3, 1.5, TWPT_BW, 1},
         ""},
        {no_size,
         "pixels",
         {{425, 550, -1, -1, -1, -1}, "rgb", -1},
         {none, "rgb", -1},
         {TWUN_PIXELS, 100, 100, 1, 1, 0, 0, 6.4, 4.8, TWPT_RGB, 24},
         "FGOpen error: Maximum image size can not be requested on your device. Try to set "
         "scaling via set_framegrabber_param()!\n"},
        {{},
         "inches",
         {{5000, 100, 0, 0, 900, 100}, "rgb", 99},
         {{-1, 100, -1, -1, -1, -1}, "rgb", -1},
         {TWUN_INCHES, 100, 100, 1, 1, 0, 0, 6.4, 4.8, TWPT_RGB, 24},
         refused +
             "FGOpen error: Resolution in x direction can not be set on your device and remains "
             "unchanged!\n"
             "FGOpen error: Image part can not be set on your device and remains unchanged!\n" +
             refused +
             "FGOpen error: Your value for BitsPerChannel is not accepted by your device and "
             "remains unchanged!\n"},
    };
    for (const Case& c : cases) {
        twsim::Configure({c.source});
        FGInstance& i = Request(c.camera_type, "interactive");
        Ask(i, c.asked);
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Open(i); }), c.text) << c.camera_type;
        ASSERT_EQ(status, FG_SUCCESS) << c.camera_type;
        EXPECT_EQ(Told(i), c.told.block) << c.camera_type;
        EXPECT_STREQ(i.color_space, c.told.color_space);
        EXPECT_EQ(i.bits_per_channel, c.told.bits);
        EXPECT_EQ(Get(i, "userinterface"), "hide");
        twsim::Settings s{};
        ASSERT_TRUE(twsim::CurrentSettings("Ondula Scanner", &s));
        const twsim::Settings& e = c.settings;
        EXPECT_EQ(s.units, e.units);
        const double got[] = {s.x_resolution, s.y_resolution, s.x_scaling, s.y_scaling,
                              s.left,         s.top,          s.right,     s.bottom};
        const double want[] = {e.x_resolution, e.y_resolution, e.x_scaling, e.y_scaling,
                               e.left,         e.top,          e.right,     e.bottom};
        for (size_t k = 0; k < std::size(got); ++k)
            EXPECT_NEAR(got[k], want[k], 1e-3) << c.camera_type << " " << k;
        EXPECT_EQ(s.pixel_type, e.pixel_type);
        EXPECT_EQ(s.bit_depth, e.bit_depth);
        Close(i);
    }

    // Refusals that end the open, with the source and the manager closed again.
    twsim::SourceConfig inches_only;
    inches_only.units = {TWUN_INCHES};
    struct Refusal {
        twsim::SourceConfig source;
        const char* color_space;
        int32_t bits;
        FGstatus status;
        std::string text;
    };
    const Refusal refusals[] = {
        {inches_only, "rgb", -1, FG_ERR_CAMERA_TYPE,
         refused + "FGOpen error: Units are not accepted by your device\n"},
        {{}, "none", -1, FG_ERR_COLOR_SPACE, ""},
        {{}, "rgb", 0, FG_ERR_BITS_PER_CHANNEL, ""},
    };
    for (const Refusal& c : refusals) {
        twsim::Configure({c.source});
        FGInstance& i = Request("centimeters", "interactive");
        Ask(i, {none, c.color_space, c.bits});
        FGstatus status = 0;
        EXPECT_EQ(Printed([&] { status = Open(i); }), c.text) << c.status;
        EXPECT_EQ(status, c.status);
        ExpectNothingOpen();
    }
}

} // namespace

// The device dialogs in a program with a QApplication, each frame played by
// a hook in place of the user.
#include <algorithm>

#include "plugin_fixture.h"
#include <dshow/property_frame.h>

namespace {

using namespace dshow;

class FrameTest : public PluginTest {
protected:
    void TearDown() override
    {
        SetPropertyFrameHook(nullptr);
        PluginTest::TearDown();
    }

    // Every frame from now on is changed by `play`, then accepted.
    static void Play(std::function<void(PropertyFrame&)> play)
    {
        SetPropertyFrameHook([play](PropertyFrame& frame) {
            play(frame);
            return true;
        });
    }

    FGstatus OpenDialog(FGInstance* inst, const char* name)
    {
        const Vcpar dialog = Text(name);
        return cls_.FGSetParam(1, inst, "do_open_dialog", &dialog, 1);
    }
};

// Chooses `option` in `choice`.
void Choose(PageChoice& choice, const std::wstring& option)
{
    const auto found = std::find(choice.options.begin(), choice.options.end(), option);
    ASSERT_NE(found, choice.options.end());
    choice.chosen = int(found - choice.options.begin());
}

TEST_F(FrameTest, AFormatChosenInADialogIsTheNextGrabsFormat)
{
    sim::DeviceConfig camera = Pumped(sim::SimulatedCamera());
    camera.vfw_dialogs = VfwCaptureDialog_Format;
    sim::SetDevices({camera});
    struct Case {
        const char* dialog;
        const wchar_t* caption;
    } const cases[] = {
        {"capture_pin_dialog", L""},
        {"vfw_format_dialog", L"Video Format"},
    };
    for (const Case& c : cases) {
        FGInstance* inst = Open();
        PumpWhileWaiting({0});
        ASSERT_EQ(Grab(inst), FG_SUCCESS);
        std::wstring caption, shown;
        Play([&](PropertyFrame& frame) {
            caption = frame.caption;
            PageChoice& format = frame.pages.at(0).choices.at(0);
            shown = format.options.at(std::size_t(format.chosen));
            Choose(format, L"RGB24 (320x240)");
        });
        ASSERT_EQ(OpenDialog(inst, c.dialog), FG_SUCCESS) << c.dialog;
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(shown, L"RGB24 (640x480)");
        EXPECT_STREQ(inst->camera_type, "RGB24 (320x240)");
        Planes planes;
        ASSERT_EQ(Grab(inst, &planes), FG_SUCCESS) << c.dialog;
        ASSERT_EQ(planes.size(), 3u);
        EXPECT_EQ(planes[0].size(), 320u * 240u);
        Close(inst);
    }
}

TEST_F(FrameTest, ThePreviewPinsPageLeavesTheCaptureFormat)
{
    sim::DeviceConfig camera = Pumped(sim::SimulatedCamera());
    camera.preview_pin = true;
    sim::SetDevices({camera});
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    std::wstring shown;
    Play([&](PropertyFrame& frame) {
        PageChoice& format = frame.pages.at(0).choices.at(0);
        shown = format.options.at(std::size_t(format.chosen));
        Choose(format, L"RGB24 (320x240)");
    });
    ASSERT_EQ(OpenDialog(inst, "preview_pin_dialog"), FG_SUCCESS);
    EXPECT_EQ(shown, L"RGB24 (640x480)");
    EXPECT_STREQ(inst->camera_type, "RGB24 (640x480)");
    Planes planes;
    ASSERT_EQ(Grab(inst, &planes), FG_SUCCESS);
    EXPECT_EQ(planes.at(0).size(), 640u * 480u);
}

TEST_F(FrameTest, TheCaptureFiltersPagesSetItsAmplifierAndCameraControls)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    std::vector<std::wstring> titles;
    Play([&](PropertyFrame& frame) {
        for (const PropertyPage& page : frame.pages)
            titles.push_back(page.title);
        std::vector<PageSlider>& amplifier = frame.pages.at(0).sliders;
        amplifier.at(0).value = 200;
        ASSERT_EQ(amplifier.at(9).label, L"Gain");
        amplifier.at(9).automatic = true;
        frame.pages.at(1).sliders.at(3).value = 40;
    });
    ASSERT_EQ(OpenDialog(inst, "capture_filter_dialog"), FG_SUCCESS);
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"Video Proc Amp", L"Camera Control"}));
    EXPECT_EQ(Get(cls_, inst, "brightness"), "200");
    EXPECT_EQ(Get(cls_, inst, "video_gain"), "auto");
    EXPECT_EQ(Get(cls_, inst, "zoom"), "40");
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

// Exposure and gain scale the picture below the frame number's row (128 as
// is), clipped.
TEST_F(FrameTest, ThePictureFollowsTheExposureAndGainChosenInTheDialog)
{
    FGInstance* inst = Open("PAL RGB24 (320x240)");
    PumpWhileWaiting({0});
    struct Case {
        int exposure, gain;
    };
    for (const Case& c : {Case{255, 200}, Case{64, 128}, Case{128, 32}}) {
        Play([&](PropertyFrame& frame) {
            ASSERT_EQ(frame.pages.at(1).sliders.at(4).label, L"Exposure");
            frame.pages.at(1).sliders.at(4).value = c.exposure;
            frame.pages.at(0).sliders.at(9).value = c.gain;
        });
        ASSERT_EQ(OpenDialog(inst, "capture_filter_dialog"), FG_SUCCESS);
        Planes after;
        ASSERT_EQ(Grab(inst, &after), FG_SUCCESS);
        const sim::Picture shown =
            sim::ReferencePicture(320, 240, sim::FrameNumberOf(after[0].data()), 0);
        int wrong = 0;
        for (std::size_t p = 0; p < 3; ++p)
            for (std::size_t i = 320; i < after[p].size(); ++i)
                wrong += after[p][i] !=
                         std::min(255, shown.rgb[3 * i + p] * c.exposure * c.gain / 16384);
        EXPECT_EQ(wrong, 0) << c.exposure << " " << c.gain;
    }
}

TEST_F(FrameTest, TheCrossbarPageRoutesAnInput)
{
    FGInstance* inst = Open("default", "1");
    PumpWhileWaiting({1});
    std::wstring output;
    Play([&](PropertyFrame& frame) {
        PageChoice& video = frame.pages.at(0).choices.at(0);
        output = video.label;
        Choose(video, L"Video SVideo");
    });
    ASSERT_EQ(OpenDialog(inst, "crossbar_dialog"), FG_SUCCESS);
    EXPECT_EQ(output, L"Output Video Decoder");
    EXPECT_EQ(Get(cls_, inst, "connector"), "2");
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

TEST_F(FrameTest, TheTunerAndTheSecondCrossbarPages)
{
    sim::SetDevices({CardWithTunerAndSecondCrossbar()});
    FGInstance* inst = Open("default");
    PumpWhileWaiting({0});
    Play([](PropertyFrame& frame) {
        PropertyPage& page = frame.pages.at(0);
        if (page.clsid == CLSID_TVTunerPropertyPage)
            page.sliders.at(0).value = 9;
        else
            Choose(page.choices.at(0), L"Video RGB");
    });
    ASSERT_EQ(OpenDialog(inst, "tv_tuner_dialog"), FG_SUCCESS);
    EXPECT_EQ(ConfigOf(0).tuner->channel, 9);
    ASSERT_EQ(OpenDialog(inst, "second_crossbar_dialog"), FG_SUCCESS);
    EXPECT_EQ(ConfigOf(0).second_crossbar_routes, std::vector<int32_t>{1});
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

} // namespace

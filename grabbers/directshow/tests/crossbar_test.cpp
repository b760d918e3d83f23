// Routing the capture card's crossbar inputs: the crossbar variants, the
// picture of the routed source, and reading the routed input when it cannot
// be read.
#include "plugin_fixture.h"

namespace {

using namespace dshow;
constexpr int32_t kWidth = 768, kHeight = 576;

std::vector<int32_t> Routes() { return ConfigOf(0).crossbar_routes; }

class CardTest : public PluginTest {
protected:
    // Opens the card (three video inputs: tuner, composite, s-video; two
    // audio inputs), changed by `change`, in its own format; every grab
    // pumps it.
    FGInstance* OpenCard(const std::function<void(sim::DeviceConfig&)>& change)
    {
        sim::DeviceConfig card = sim::SimulatedCaptureCard();
        card.pump = true;
        change(card);
        sim::SetDevices({card});
        FGInstance* inst = Open("default", "0");
        PumpWhileWaiting({0});
        return inst;
    }

    FGstatus Set(FGInstance* inst, int32_t connector)
    {
        const Vcpar value = Int(connector);
        return cls_.FGSetParam(1, inst, "connector", &value, 1);
    }

    // Whether the next grab shows the card's picture of `scene`.
    bool Shows(FGInstance* inst, int32_t scene)
    {
        Planes planes;
        if (Grab(inst, &planes) != FG_SUCCESS || planes.size() != 3)
            return false;
        const sim::Picture picture = sim::ReferencePicture(kWidth, kHeight, FrameOf(planes), scene);
        for (std::size_t i = 0; i < picture.rgb.size(); ++i)
            if (planes[i % 3][i / 3] != picture.rgb[i])
                return false;
        return true;
    }
};

TEST_F(CardTest, OneOutputRoutesOutputZeroAndThePictureShowsTheInput)
{
    FGInstance* inst =
        OpenCard([](sim::DeviceConfig& c) { c.crossbar_outputs = {PhysConn_Video_VideoDecoder}; });
    EXPECT_TRUE(Shows(inst, PhysConn_Video_Tuner)) << "the tuner input, without a tuner";
    ASSERT_EQ(Set(inst, 1), FG_SUCCESS);
    EXPECT_EQ(Routes(), std::vector<int32_t>{1});
    EXPECT_EQ(Get(cls_, inst, "connector"), "1");
    EXPECT_TRUE(Shows(inst, PhysConn_Video_Composite));
    ASSERT_EQ(Set(inst, 2), FG_SUCCESS);
    EXPECT_TRUE(Shows(inst, PhysConn_Video_SVideo));
    sim::ConfigureDevice(0, [](sim::DeviceConfig& c) { c.route_fails = true; });
    EXPECT_EQ(Set(inst, 2), FG_SUCCESS) << "the input routed now is left alone";
    EXPECT_EQ(Set(inst, 0), FG_ERR_DEVICE_CALL) << "Route fails";
}

TEST_F(CardTest, TwoOutputsNeitherConnectedToTheCaptureFilter)
{
    FGInstance* inst = OpenCard([](sim::DeviceConfig& c) {
        c.crossbar_outputs = {PhysConn_Audio_AudioDecoder, PhysConn_Video_VideoDecoder};
        c.crossbar_unconnected = true;
    });
    EXPECT_EQ(Get(cls_, inst, "connector"), "-1") << "no input reaches the capture filter";
    EXPECT_TRUE(Shows(inst, sim::kNoSignal));
    ASSERT_EQ(Set(inst, 2), FG_SUCCESS);
    EXPECT_EQ(Routes(), (std::vector<int32_t>{3, 2})) << "the video output, connected first";
    EXPECT_EQ(Get(cls_, inst, "connector"), "2");
    EXPECT_TRUE(Shows(inst, PhysConn_Video_SVideo));
    ASSERT_EQ(Set(inst, 1), FG_SUCCESS) << "connected now: routed only";
    EXPECT_TRUE(Shows(inst, PhysConn_Video_Composite));
}

TEST_F(CardTest, NothingRoutedShowsNoPictureAndNoConnector)
{
    FGInstance* inst = OpenCard([](sim::DeviceConfig& c) { c.crossbar_routes = {-1, -1}; });
    EXPECT_EQ(Get(cls_, inst, "connector"), "-1");
    EXPECT_TRUE(Shows(inst, sim::kNoSignal));
}

TEST_F(CardTest, TunerAndSecondCrossbarUpstream)
{
    FGInstance* inst = OpenCard([](sim::DeviceConfig& c) {
        c.crossbar_inputs = {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Audio_Tuner,
                             PhysConn_Video_SVideo};
        c.second_crossbar_inputs = {PhysConn_Video_SVideo, PhysConn_Video_RGB};
        c.second_crossbar_feeds = 1;
        c.second_crossbar_routes = {1};
        c.tuner = sim::TvTuner{1, 69, 9};
        c.amplifier[0] = sim::Property{};
    });
    EXPECT_EQ(Get(cls_, inst, "available_connectors"), "video tuner,composite video,s-video")
        << "the names of the crossbar next to the capture filter";
    EXPECT_EQ(Get(cls_, inst, "connector_range"), "0,2,1,0");
    EXPECT_TRUE(Shows(inst, 9)) << "the tuner's channel";
    ASSERT_EQ(Set(inst, 1), FG_SUCCESS);
    EXPECT_TRUE(Shows(inst, PhysConn_Video_RGB)) << "through the second crossbar";
    ASSERT_EQ(Set(inst, 2), FG_SUCCESS);
    EXPECT_EQ(Routes()[0], 3) << "connector 2 is crossbar input 3";
    EXPECT_EQ(Get(cls_, inst, "connector"), "2");
    EXPECT_TRUE(Shows(inst, PhysConn_Video_SVideo));
    const Vcpar neutral = Int(128);
    ASSERT_EQ(cls_.FGSetParam(1, inst, "brightness", &neutral, 1), FG_SUCCESS);
    EXPECT_EQ(Get(cls_, inst, "connector"), "2") << "the tear-down leaves what is upstream alone";
    EXPECT_TRUE(Shows(inst, PhysConn_Video_SVideo));
}

TEST_F(CardTest, EveryConnectorName)
{
    FGInstance* inst = OpenCard([](sim::DeviceConfig& c) {
        c.crossbar_inputs = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, PhysConn_Audio_Line,
                             15};
    });
    EXPECT_EQ(Get(cls_, inst, "available_connectors"),
              "video tuner,composite video,s-video,rgb video,y-ry-by video,serial digital video,"
              "parallel digital video,scsi,aux,ieee 1394,usb,video decoder,video encoder,scart,"
              "unknown type");
    EXPECT_EQ(Get(cls_, inst, "connector_range"), "0,14,1,0");
    ASSERT_EQ(Set(inst, 14), FG_SUCCESS);
    EXPECT_EQ(Routes()[0], 15) << "after the audio input";
}

TEST_F(CardTest, RoutedInputThatCannotBeRead)
{
    struct Case {
        const char* what;
        std::function<void(sim::DeviceConfig&)> knob;
        const char* get_message;
        FGstatus set_status;
        const char* set_message;
    } const cases[] = {
        {"IsRoutedTo fails", [](sim::DeviceConfig& c) { c.routed_to_fails = true; }, "", FG_SUCCESS,
         ""},
        {"no analogue video input", [](sim::DeviceConfig& c) { c.analog_in_uncategorised = true; },
         "Error in GetPhysicalConnector(): could not find input pin in source filter!\n",
         FG_SUCCESS,
         "Error in GetPhysicalConnector(): could not find input pin in source filter!\n"},
        {"unconnected, no analogue video input",
         [](sim::DeviceConfig& c) {
             c.crossbar_unconnected = true;
             c.analog_in_uncategorised = true;
         },
         "Error in GetPhysicalConnector(): could not find input pin in source filter!\n",
         FG_ERR_DEVICE_CALL,
         "Error in GetPhysicalConnector(): could not find input pin in source filter!\n"
         "Error in SetPhysicalConnector(): could not find input pin in source filter!\n"},
    };
    for (const Case& c : cases) {
        FGInstance* inst = OpenCard(c.knob);
        std::string answer = "?";
        FGstatus status = 0;
        EXPECT_EQ(Messages([&] { answer = Get(cls_, inst, "connector", &status); }), c.get_message)
            << c.what;
        EXPECT_EQ(answer, "") << c.what << ": 0 values";
        EXPECT_EQ(status, FG_SUCCESS) << c.what;
        EXPECT_EQ(Messages([&] { EXPECT_EQ(Set(inst, 1), c.set_status) << c.what; }), c.set_message)
            << c.what;
        Close(inst);
    }
}

} // namespace

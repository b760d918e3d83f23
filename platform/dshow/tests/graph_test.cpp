// Capture graphs over the simulated devices: rendering, streaming, crossbar
// and device enumeration.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>

#include "first_device.h"
#include "test_sink.h"
#include <dshow/com.h>
#include <dshow/controls.h>
#include <dshow/devices.h>
#include <dshow/sim_devices.h>

namespace {

using namespace dshow;
using namespace std::chrono_literals;

sim::DeviceConfig OnlyYuy2()
{
    sim::DeviceConfig camera = sim::SimulatedCamera();
    camera.formats = {{MEDIASUBTYPE_YUY2, 640, 480}};
    return camera;
}

class GraphTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        sink_.Reset();
        source_.Reset();
        builder_.Reset();
        control_.Reset();
        graph_.Reset();
        sim::ResetDevices();
        EXPECT_EQ(LiveObjects(), 0);
    }

    // Binds device 0 and renders it into a sink of RGB24 at this size.
    HRESULT Render(int32_t width, int32_t height)
    {
        EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, &graph_), S_OK);
        control_ = graph_.As<IMediaControl>();
        EXPECT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, &builder_), S_OK);
        builder_->SetFiltergraph(graph_.get());
        source_ = BindFirstDevice();
        EXPECT_TRUE(source_);
        sink_ = ComPtr<TestSink>(new TestSink(MEDIASUBTYPE_RGB24, width, height));
        graph_->AddFilter(source_.get(), L"Video Capture");
        graph_->AddFilter(sink_.get(), L"Sink");
        return builder_->RenderStream(nullptr, nullptr, source_.get(), nullptr, sink_.get());
    }

    // The name of the filter that feeds the sink, or "".
    std::wstring Feeder()
    {
        ComPtr<IPin> peer;
        PinInfo pin;
        FilterInfo filter;
        if (FAILED(sink_->Input()->ConnectedTo(peer.put())))
            return L"";
        peer->QueryPinInfo(&pin);
        pin.filter->QueryFilterInfo(&filter);
        return filter.name;
    }

    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<ICaptureGraphBuilder2> builder_;
    ComPtr<IBaseFilter> source_;
    ComPtr<TestSink> sink_;
};

TEST_F(GraphTest, RenderStreamConnectsDirectlyElseThroughConverterOrSmartTee)
{
    struct Case {
        sim::DeviceConfig device;
        int32_t width;
        HRESULT result;
        const wchar_t* feeder;
    };
    sim::DeviceConfig tee = sim::SimulatedCamera();
    tee.smart_tee = true;
    const Case cases[] = {
        {sim::SimulatedCamera(), 640, S_OK, L"Video Capture"},
        {OnlyYuy2(), 640, S_OK, L"Color Space Converter"},
        {tee, 640, S_OK, L"Smart Tee"},
        {OnlyYuy2(), 800, VFW_E_CANNOT_CONNECT, L""},
    };
    for (const Case& c : cases) {
        sim::SetDevices({c.device});
        EXPECT_EQ(Render(c.width, 480), c.result);
        EXPECT_EQ(Feeder(), c.feeder);
        TearDown();
    }
}

TEST_F(GraphTest, StreamingThreadDeliversNumberedFramesUntilStopped)
{
    sim::DeviceConfig camera = OnlyYuy2();
    camera.formats[0].frame_interval = 10000; // 1 ms
    sim::SetDevices({camera});
    ASSERT_EQ(Render(640, 480), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    while (sink_->Frames().size() < 3)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(control_->Stop(), S_OK);
    const std::vector<uint32_t> frames = sink_->Frames();
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], i) << "through the converter";
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(sink_->Frames().size(), frames.size());
}

TEST_F(GraphTest, PumpedDeviceDeliversOnlyWhileRunning)
{
    sim::DeviceConfig camera = sim::SimulatedCamera();
    camera.pump = true;
    sim::SetDevices({camera});
    ASSERT_EQ(Render(640, 480), S_OK);
    EXPECT_EQ(sim::Pump(0), 0);
    ASSERT_EQ(control_->Run(), S_OK);
    FILTER_STATE state;
    EXPECT_EQ(control_->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Running);
    EXPECT_EQ(sim::Pump(0), 1);
    EXPECT_EQ(sim::Pump(0), 1);
    EXPECT_EQ(sink_->Frames(), (std::vector<uint32_t>{0, 1}));
    control_->Stop();
    EXPECT_EQ(sim::Pump(0), 0);
}

TEST_F(GraphTest, CrossbarIsFoundUpstreamOfTheCaptureCard)
{
    sim::SetDevices({sim::SimulatedCaptureCard()});
    ASSERT_EQ(Render(768, 576), S_OK);
    ComPtr<IAMCrossbar> crossbar;
    ASSERT_EQ(builder_->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, source_.get(),
                                      IAMCrossbar::kIid, PutVoid(&crossbar)),
              S_OK);
    int32_t outputs = 0, inputs = 0, related = 0, type = 0;
    crossbar->get_PinCounts(&outputs, &inputs);
    EXPECT_EQ(outputs, 2);
    EXPECT_EQ(inputs, 5);
    const int32_t expected[] = {PhysConn_Video_Tuner, PhysConn_Video_Composite,
                                PhysConn_Video_SVideo, PhysConn_Audio_Tuner, PhysConn_Audio_Line};
    for (int32_t i = 0; i < inputs; ++i) {
        crossbar->get_CrossbarPinInfo(true, i, &related, &type);
        EXPECT_EQ(type, expected[i]);
    }
    ComPtr<IAMCrossbar> again;
    EXPECT_EQ(builder_->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, source_.get(),
                                      IAMCrossbar::kIid, PutVoid(&again)),
              S_OK);
    EXPECT_EQ(again.get(), crossbar.get()) << "found again, not added twice";
}

TEST_F(GraphTest, TunerAndSecondCrossbarFeedTheCardsPicture)
{
    sim::DeviceConfig card = sim::SimulatedCaptureCard();
    card.pump = true;
    card.crossbar_inputs = {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Video_SVideo};
    card.crossbar_outputs = {PhysConn_Video_VideoDecoder};
    card.second_crossbar_inputs = {PhysConn_Video_Composite, PhysConn_Video_RGB};
    card.second_crossbar_feeds = 1;
    card.tuner = sim::TvTuner{1, 69, 7};
    sim::SetDevices({card});
    ASSERT_EQ(Render(768, 576), S_OK);
    ComPtr<IAMCrossbar> first, second;
    ComPtr<IAMTVTuner> tuner;
    ASSERT_EQ(builder_->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, source_.get(),
                                      IAMCrossbar::kIid, PutVoid(&first)),
              S_OK);
    ASSERT_EQ(builder_->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, first.As<IBaseFilter>().get(),
                                      IAMCrossbar::kIid, PutVoid(&second)),
              S_OK);
    ASSERT_EQ(builder_->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, source_.get(), IAMTVTuner::kIid,
                                      PutVoid(&tuner)),
              S_OK);
    int32_t outputs = 0, inputs = 0, min = 0, max = 0, channel = 0, video = 0, audio = 0;
    second->get_PinCounts(&outputs, &inputs);
    EXPECT_EQ(std::pair(outputs, inputs), std::pair(1, 2));
    tuner->ChannelMinMax(&min, &max);
    EXPECT_EQ(std::pair(min, max), std::pair(1, 69));
    EXPECT_EQ(tuner->put_Channel(70, -1, -1), E_INVALIDARG);

    // Each step, then the scene the card shows.
    const std::pair<std::function<void()>, int32_t> steps[] = {
        {[] {}, 7},
        {[&] { EXPECT_EQ(tuner->put_Channel(9, -1, -1), S_OK); }, 9},
        {[&] { EXPECT_EQ(first->Route(0, 1), S_OK); }, PhysConn_Video_Composite},
        {[&] { EXPECT_EQ(second->Route(0, 1), S_OK); }, PhysConn_Video_RGB},
        {[&] { EXPECT_EQ(first->Route(0, 2), S_OK); }, PhysConn_Video_SVideo},
    };
    ASSERT_EQ(control_->Run(), S_OK);
    for (const auto& [step, scene] : steps) {
        step();
        const uint32_t frame = sim::NextFrameNumber(0);
        ASSERT_EQ(sim::Pump(0), 1);
        EXPECT_EQ(sink_->LastPicture().rgb, sim::ReferencePicture(768, 576, frame, scene).rgb)
            << "scene " << scene;
    }
    tuner->get_Channel(&channel, &video, &audio);
    EXPECT_EQ(channel, 9);
    ComPtr<IAMTVTuner> again;
    builder_->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, source_.get(), IAMTVTuner::kIid,
                            PutVoid(&again));
    EXPECT_EQ(again.get(), tuner.get()) << "found again, not added twice";
}

TEST_F(GraphTest, EnumeratorKnobs)
{
    sim::DeviceConfig absent = sim::SimulatedCamera(), failing = sim::SimulatedCamera();
    absent.property_bag = sim::PropertyBag::Absent;
    failing.property_bag = sim::PropertyBag::Failing;
    sim::SetDevices({sim::SimulatedCamera(), absent, failing});
    sim::SetNextFailures(2);
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, &devices), S_OK);
    ASSERT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0),
              S_OK);
    std::vector<HRESULT> answers;
    ComPtr<IMoniker> moniker;
    for (HRESULT hr = E_FAIL; hr != S_FALSE;) {
        hr = monikers->Next(1, moniker.put(), nullptr);
        if (hr != S_OK) {
            answers.push_back(hr);
            continue;
        }
        ComPtr<IPropertyBag> bag;
        answers.push_back(moniker->BindToStorage(IPropertyBag::kIid, PutVoid(&bag)));
    }
    EXPECT_EQ(answers,
              (std::vector<HRESULT>{E_FAIL, E_FAIL, S_OK, E_NOINTERFACE, E_FAIL, S_FALSE}));

    sim::SetDevices({});
    monikers.Reset();
    EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0),
              S_FALSE);
    EXPECT_FALSE(monikers);
}

} // namespace

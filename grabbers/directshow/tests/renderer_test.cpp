#include <gtest/gtest.h>

#include <algorithm>

#include "grabbers/directshow/camera_type.h"
#include "grabbers/directshow/renderer.h"
#include <dshow/com.h>
#include <dshow/devices.h>
#include <dshow/sim_devices.h>

namespace {

using namespace directshow;
using namespace dshow;
using namespace std::chrono_literals;

MediaType Offer(const GUID& subtype, int32_t width, int32_t height)
{
    VIDEOINFOHEADER format{};
    format.bmiHeader.biSize = 40;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biBitCount = 16;
    format.AvgTimePerFrame = 400000;
    return MediaType::Video(subtype, format);
}

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRESULT hr = E_FAIL;
        const ComPtr<IUnknown> object(VerodynRenderer::Create(nullptr, &hr));
        ASSERT_EQ(hr, S_OK);
        filter_ = object.As<IBaseFilter>();
        renderer_ = static_cast<VerodynRenderer*>(filter_.get());
        record_.lock = std::make_unique<std::mutex>();
        record_.frame_event = std::make_unique<Event>();
        CameraTypeRequest request;
        ASSERT_EQ(ParseCameraType("RGB24 (640x480)", &request), FG_SUCCESS);
        record_.wanted_format = request.format;
        record_.wanted_type = VideoTypeOver(MEDIASUBTYPE_RGB24, &record_.wanted_format);
        renderer_->SetInstance(&record_);
        ASSERT_EQ(filter_->FindPin(L"In", pin_.put()), S_OK);
    }

    void TearDown() override
    {
        renderer_->SetInstance(nullptr);
        pin_.Reset();
        filter_.Reset();
        record_ = CIODirectShow{};
        sim::ResetDevices();
        EXPECT_EQ(LiveObjects(), 0);
    }

    HRESULT Accept(const MediaType& type) { return pin_->QueryAccept(&type); }

    ComPtr<IBaseFilter> filter_;
    VerodynRenderer* renderer_ = nullptr;
    ComPtr<IPin> pin_;
    CIODirectShow record_;
};

TEST_F(RendererTest, FindPinAnswersTheIdInOnly)
{
    ComPtr<IPin> pin;
    EXPECT_EQ(filter_->FindPin(L"VERODYN_FGI", pin.put()), VFW_E_NOT_FOUND);
    EXPECT_FALSE(pin);
    EXPECT_EQ(filter_->FindPin(L"In", nullptr), E_POINTER);
    PinInfo info;
    pin_->QueryPinInfo(&info);
    EXPECT_EQ(info.name, L"VERODYN_FGI");
    EXPECT_EQ(info.direction, PINDIR_INPUT);
}

TEST_F(RendererTest, WantedTypeIsTakenInEitherRowOrder)
{
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_RGB24, 320, 240)), S_FALSE);
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_RGB32, 640, 480)), S_FALSE);
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_RGB24, 640, 480)), S_OK);
    EXPECT_EQ(record_.wanted_format.bmiHeader.biHeight, 480);
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_RGB24, 640, -480)), S_OK);
    EXPECT_EQ(record_.wanted_format.bmiHeader.biHeight, -480);
    MediaType type;
    EXPECT_EQ(pin_->EnumMediaType(0, &type), S_OK);
    EXPECT_EQ(VideoInfoOf(type)->bmiHeader.biHeight, -480);
    EXPECT_EQ(pin_->EnumMediaType(1, &type), VFW_S_NO_MORE_ITEMS);
    renderer_->SetInstance(nullptr);
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_RGB24, 640, 480)), S_FALSE);
}

TEST_F(RendererTest, DeviceFormatIsAdoptedWhenTheSubtypeIsConverted)
{
    record_.use_device_format = 1;
    MediaType type;
    EXPECT_EQ(pin_->EnumMediaType(0, &type), VFW_S_NO_MORE_ITEMS);
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_MJPG, 640, 480)), S_FALSE);
    EXPECT_EQ(Accept(Offer(MEDIASUBTYPE_UYVY, 720, 576)), S_OK);
    EXPECT_TRUE(record_.wanted_type.subtype == MEDIASUBTYPE_UYVY);
    EXPECT_EQ(record_.wanted_format.bmiHeader.biWidth, 720);
    EXPECT_EQ(record_.wanted_format.bmiHeader.biBitCount, 16);
    EXPECT_EQ(record_.wanted_format.AvgTimePerFrame, 400000);
    EXPECT_EQ(record_.use_device_format, 0);
    EXPECT_EQ(record_.video_standard, 0);
}

TEST_F(RendererTest, SamplesThatDoNotFitAFrameAreDropped)
{
    sim::DeviceConfig camera = sim::SimulatedCamera();
    camera.pump = true;
    camera.sample_extra = 8; // the device's buffers are 8 bytes longer than a frame
    sim::SetDevices({camera});
    ComPtr<IGraphBuilder> graph;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    ComPtr<IMoniker> moniker;
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, &graph), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, &builder), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, &devices), S_OK);
    devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.put(), 0);
    monikers->Next(1, moniker.put(), nullptr);
    ASSERT_EQ(moniker->BindToObject(IBaseFilter::kIid, PutVoid(&source)), S_OK);
    builder->SetFiltergraph(graph.get());
    graph->AddFilter(source.get(), L"Video Capture");
    graph->AddFilter(filter_.get(), L"VerodynRenderer");
    ASSERT_EQ(builder->RenderStream(nullptr, nullptr, source.get(), nullptr, filter_.get()), S_OK);
    ASSERT_EQ(graph.As<IMediaControl>()->Run(), S_OK);

    std::vector<uint8_t> buffer(921600);
    record_.frame_buffers[0] = buffer.data();
    record_.buffer_capacity = record_.frame_size = 921600;
    struct Case {
        int32_t extra;
        FGstatus status;
    };
    for (const Case c : {Case{8, FG_ERR_GRAB}, Case{-8, FG_ERR_GRAB}, Case{0, FG_SUCCESS}}) {
        sim::ConfigureDevice(0, [&](sim::DeviceConfig& d) { d.sample_extra = c.extra; });
        std::fill(buffer.begin(), buffer.end(), 0xAB);
        record_.frame_event->Reset();
        ASSERT_EQ(sim::Pump(0), 1);
        EXPECT_EQ(record_.frame_status, c.status) << c.extra;
        EXPECT_TRUE(record_.frame_event->Wait(0ms)) << c.extra;
        EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0xAB) == 921600, c.status != FG_SUCCESS)
            << c.extra;
        EXPECT_EQ(record_.frame_ready, c.status == FG_SUCCESS ? 1 : 0);
    }
    graph.As<IMediaControl>()->Stop();
    graph->RemoveFilter(filter_.get());
}

} // namespace

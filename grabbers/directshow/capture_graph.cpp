#include "capture_graph.h"

#include <unistd.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "low_error.h"
#include "renderer.h"
#include <dshow/com.h>
#include <dshow/devices.h>
#include <fgint/fghelpers.h>

namespace directshow {
namespace {

using namespace dshow;

constexpr auto kStateWait = std::chrono::seconds(5);
constexpr int32_t kPollMs = 10;

// Polls the graph's state until it is `target`; false after 5 s, with the
// last answer in `*last`.
bool WaitForState(IMediaControl* control, FILTER_STATE target, HRESULT* last)
{
    ondula::Clock& clock = PlatformClock();
    const ondula::Deadline deadline(clock, kStateWait);
    for (;;) {
        FILTER_STATE state = State_Stopped;
        *last = control->GetState(kPollMs, &state);
        if (*last == S_OK && state == target)
            return true;
        if (deadline.Expired())
            return false;
        clock.SleepFor(std::chrono::milliseconds(kPollMs));
    }
}

FGstatus Fail(const char* message)
{
    LowError("%s", message);
    return FG_ERR_OPEN;
}

void RegisterRunning(CIODirectShow& r)
{
    ComPtr<IRunningObjectTable> table;
    ComPtr<IMoniker> name;
    wchar_t text[64];
    std::swprintf(text, 64, L"FilterGraph %08x pid %08x", unsigned(uintptr_t(r.graph.get())),
                  unsigned(getpid()));
    if (FAILED(GetRunningObjectTable(0, table.put())) ||
        FAILED(CreateItemMoniker(L"!", text, name.put())))
        return;
    uint32_t cookie = 0;
    if (SUCCEEDED(table->Register(0, r.graph.get(), name.get(), &cookie)))
        r.rot_cookie = cookie;
}

void RevokeRunning(CIODirectShow& r)
{
    ComPtr<IRunningObjectTable> table;
    if (r.rot_cookie && SUCCEEDED(GetRunningObjectTable(0, table.put())))
        table->Revoke(r.rot_cookie);
    r.rot_cookie = 0;
}

// Whether `pin` is one of `filter`'s pins. 1, or 5 when they cannot be enumerated.
FGstatus HasPin(IBaseFilter* filter, IPin* pin, bool* has)
{
    *has = false;
    ComPtr<IEnumPins> pins;
    if (const HRESULT hr = filter->EnumPins(pins.put()); FAILED(hr)) {
        LowError("Error in HasPin(): IBaseFilter::EnumPins() failed! (error %8X)", Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    for (ComPtr<IPin> candidate;;) {
        const HRESULT hr = pins->Next(1, candidate.put(), nullptr);
        if (hr != S_OK) {
            if (FAILED(hr))
                LowError("Error in HasPin(): IEnumPins::Next() failed! (error %8X)", Code(hr));
            return FAILED(hr) ? FG_ERR_DEVICE_CALL : FG_SUCCESS;
        }
        if (candidate.get() == pin) {
            *has = true;
            return FG_SUCCESS;
        }
    }
}

// The renderer may sit behind another filter than the capture filter when
// the open asked for the device's format or a four-character code, or behind
// a Smart Tee.
bool MayBeBehindOtherFilter(const CIODirectShow& r, IPin* upstream)
{
    if (r.use_device_format || r.custom_format || r.device_format_requested)
        return true;
    PinInfo pin;
    FilterInfo filter;
    return upstream && SUCCEEDED(upstream->QueryPinInfo(&pin)) && pin.filter &&
           SUCCEEDED(pin.filter->QueryFilterInfo(&filter)) && filter.name == L"Smart Tee";
}

FGstatus MakeConnectorList(Vproc_handle proc_id, CIODirectShow& r)
{
    int32_t outputs = 0, inputs = 0;
    r.crossbar->get_PinCounts(&outputs, &inputs);
    std::vector<int32_t> video;
    for (int32_t i = 0; i < inputs; ++i) {
        int32_t related = 0, type = 0;
        if (SUCCEEDED(r.crossbar->get_CrossbarPinInfo(true, i, &related, &type)) &&
            type < PhysConn_Audio_Tuner)
            video.push_back(i);
    }
    if (video.empty())
        return FG_SUCCESS;
    if (VXAlloc(proc_id, video.size() * sizeof(int32_t), kSourceFile, __LINE__, FG_ALLOC_ID,
                &r.connector_list) != FG_SUCCESS)
        return Fail("Error in InitCapture(): Allocation of connector_list failed !");
    std::copy(video.begin(), video.end(), r.connector_list);
    r.connector_count = int32_t(video.size());
    return FG_SUCCESS;
}

// The capture pin's mode for the external trigger the open asks for.
FGstatus SetUpVideoControl(CIODirectShow& r, FGInstance* fginst)
{
    if (!FindCapturePin(r, fginst->port, &r.source_pin))
        return Fail(fginst->port == -1 ? "Error in InitCapture(): FindPin() failed!"
                                       : "Error in InitCapture(): GetPin() failed!");
    if (r.custom_format) {
        const ComPtr<IAMStreamConfig> config = r.source_pin.As<IAMStreamConfig>();
        if (!config)
            return Fail("Error in InitCapture(): Couldn't retrieve IAMStreamConfig interface!");
        if (FAILED(config->SetFormat(&r.custom_type)))
            return Fail("Error in InitCapture(): SetFormat() failed!");
    }
    int32_t caps = 0, mode = 0;
    r.video_control->GetCaps(r.source_pin.get(), &caps);
    const bool can_trigger = caps & VideoControlFlag_ExternalTriggerEnable;
    if (fginst->external_trigger && !can_trigger)
        return FG_ERR_MODE;
    r.video_control->GetMode(r.source_pin.get(), &mode);
    if (fginst->external_trigger)
        r.video_control->SetMode(r.source_pin.get(), mode | VideoControlFlag_ExternalTriggerEnable);
    else if (can_trigger)
        r.video_control->SetMode(r.source_pin.get(),
                                 mode & ~VideoControlFlag_ExternalTriggerEnable);
    return FG_SUCCESS;
}

FGstatus BuildGraph(Vproc_handle proc_id, CIODirectShow& r, FGInstance* fginst, IMoniker* device)
{
    fg_copy_text(r.device_name, sizeof r.device_name, fginst->device);
    r.frame_ready = 0;
    r.frame_event = std::make_unique<Event>();
    CoInitialize(nullptr);
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, &r.graph)))
        return Fail("Error in InitCapture(): CoCreateInstance(1) failed!");
    r.media_control = r.graph.As<IMediaControl>();
    if (!r.media_control)
        return Fail("Error in InitCapture(): QueryInterface(1) failed!");
    if (FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, &r.capture_builder)))
        return Fail("Error in InitCapture(): CoCreateInstance(2) failed!");
    r.capture_builder->SetFiltergraph(r.graph.get());

    if (FAILED(CoCreateInstance(CLSID_VerodynRenderer, &r.target_filter)))
        return Fail("Error in InitCapture(): CoCreateInstance(VerodynRenderer) failed!\n"
                    "Make sure that the interface is registered properly!");
    ComPtr<IUnknown> object = r.target_filter.As<IUnknown>();
    if (!object)
        return Fail("Error in InitCapture(): QueryInterface(3) failed!");
    r.renderer = static_cast<VerodynRenderer*>(static_cast<IBaseFilter*>(object.get()));
    r.renderer->SetInstance(&r);
    object.Reset();
    if (FAILED(r.target_filter->FindPin(L"In", r.target_pin.put())))
        return Fail("Error in InitCapture(): FindPin() failed!");

    if (FAILED(device->BindToObject(IBaseFilter::kIid, PutVoid(&r.source_filter))))
        return FG_ERR_DEVICE;
    r.chip_control = r.source_filter.As<IAMVideoProcAmp>();
    r.decoder = r.source_filter.As<IAMAnalogVideoDecoder>();
    if (r.use_device_format) {
        int32_t standard = 0;
        r.video_standard =
            r.decoder && SUCCEEDED(r.decoder->get_TVFormat(&standard)) ? standard : 0;
    } else if (r.video_standard) {
        if (!r.decoder)
            return Fail("Error in InitCapture(): No analog decoder found!");
        if (FAILED(r.decoder->put_TVFormat(r.video_standard)))
            return Fail("Error in InitCapture(): put_TVFormat() failed!");
    }
    r.video_control = r.source_filter.As<IAMVideoControl>();
    if (!r.video_control && fginst->external_trigger)
        return FG_ERR_MODE;
    if (r.video_control)
        if (const FGstatus status = SetUpVideoControl(r, fginst); status != FG_SUCCESS)
            return status;
    r.cam_control = r.source_filter.As<IAMCameraControl>();
    if (SUCCEEDED(r.capture_builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr,
                                                   r.source_filter.get(), IAMCrossbar::kIid,
                                                   PutVoid(&r.crossbar))))
        if (const FGstatus status = MakeConnectorList(proc_id, r); status != FG_SUCCESS)
            return status;
    r.graph->AddFilter(r.source_filter.get(), L"Video Capture");
    return ConnectFilterGraph(r, fginst->port) == FG_SUCCESS ? FG_SUCCESS : FG_ERR_OPEN;
}

} // namespace

FGstatus InitCapture(Vproc_handle proc_id, CIODirectShow& record, FGInstance* fginst,
                     IMoniker* device)
{
    try {
        return BuildGraph(proc_id, record, fginst, device);
    } catch (const HardwareException& e) {
        LowError("Exception %x during framegrabber initialization", e.code);
        return FG_ERR_OPEN;
    }
}

FGstatus ConnectFilterGraph(CIODirectShow& r, int32_t port)
{
    if (!r.target_filter) {
        LowError("Error in ConnectFilterGraph(): No target filter specified!");
        return FG_ERR_DEVICE_CALL;
    }
    if (!r.source_filter) {
        LowError("Error in ConnectFilterGraph(): No source filter specified!");
        return FG_ERR_DEVICE_CALL;
    }
    RegisterRunning(r);
    r.graph->AddFilter(r.target_filter.get(), L"VerodynRenderer");
    const int pass = port == -1 ? 1 : 2;
    ComPtr<IPin> from;
    if (port != -1 && (GetPin(r.source_filter.get(), port, &from) != FG_SUCCESS || !from)) {
        LowError("Error in ConnectFilterGraph(): GetPin() failed!");
        return FG_ERR_DEVICE_CALL;
    }
    IUnknown* source = from ? static_cast<IUnknown*>(from.get()) : r.source_filter.get();
    if (const HRESULT hr = r.capture_builder->RenderStream(nullptr, nullptr, source, nullptr,
                                                           r.target_filter.get());
        FAILED(hr)) {
        LowError("Error in ConnectFilterGraph(): RenderStream() failed (%d)! (error %8X)", pass,
                 Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    ComPtr<IPin> upstream;
    r.target_pin->ConnectedTo(upstream.put());
    if (!MayBeBehindOtherFilter(r, upstream.get())) {
        bool direct = upstream && upstream.get() == from.get();
        if (!from && HasPin(r.source_filter.get(), upstream.get(), &direct) != FG_SUCCESS) {
            LowError("Error in ConnectFilterGraph(): HasPin() failed!");
            return FG_ERR_DEVICE_CALL;
        }
        if (!direct) {
            LowError("Error in ConnectFilterGraph(): RenderStream() connected to a different "
                     "filter than specified! (%d)",
                     pass);
            return FG_ERR_DEVICE_CALL;
        }
    }
    StopGrabbing(r);
    const ComPtr<IMemInputPin> input = r.target_pin.As<IMemInputPin>();
    if (!input) {
        LowError("Error in ConnectFilterGraph(): QueryInterface(4) failed!");
        return FG_ERR_DEVICE_CALL;
    }
    if (FAILED(input->GetAllocator(r.allocator.put()))) {
        LowError("Error in ConnectFilterGraph(): Release() failed!");
        return FG_ERR_DEVICE_CALL;
    }
    return FG_SUCCESS;
}

FGstatus StopGrabbing(CIODirectShow& r)
{
    HRESULT hr = r.media_control->Stop();
    if (FAILED(hr) || !WaitForState(r.media_control.get(), State_Stopped, &hr)) {
        LowError("Error in StopGrabbing(): IAMVideoControl::Stop() failed! (error %8X)", Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    if (r.frame_event)
        r.frame_event->Reset();
    if (r.lock) {
        std::lock_guard guard(*r.lock);
        r.frame_ready = 0;
    }
    return FG_SUCCESS;
}

void RunGraph(CIODirectShow& r)
{
    if (!r.media_control)
        return;
    FILTER_STATE state = State_Stopped;
    if (r.media_control->GetState(0, &state) != E_FAIL && state == State_Running)
        return;
    HRESULT hr = r.media_control->Run();
    if (SUCCEEDED(hr) && WaitForState(r.media_control.get(), State_Running, &hr))
        return;
    LowError("Error in TriggerGrab(): IAMVideoControl::Run() failed! (error %8X)", Code(hr));
}

void TearDownBehind(IGraphBuilder* graph, IBaseFilter* filter)
{
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.put())))
        return;
    for (ComPtr<IPin> pin; pins->Next(1, pin.put(), nullptr) == S_OK;) {
        ComPtr<IPin> peer;
        PIN_DIRECTION direction = PINDIR_OUTPUT;
        PinInfo info;
        if (FAILED(pin->ConnectedTo(peer.put())) || FAILED(peer->QueryDirection(&direction)) ||
            direction != PINDIR_INPUT || FAILED(peer->QueryPinInfo(&info)))
            continue;
        TearDownBehind(graph, info.filter.get());
        graph->Disconnect(peer.get());
        graph->Disconnect(pin.get());
        graph->RemoveFilter(info.filter.get());
    }
}

void DisconnectGraph(CIODirectShow& r)
{
    if (r.media_control)
        StopGrabbing(r);
    RevokeRunning(r);
    r.allocator.Reset();
    if (r.graph && r.source_filter)
        TearDownBehind(r.graph.get(), r.source_filter.get());
}

FGstatus ApplyDeviceSetting(CIODirectShow& r, int32_t port, const std::function<void()>& set)
{
    DisconnectGraph(r);
    set();
    return ConnectFilterGraph(r, port) == FG_SUCCESS ? FG_SUCCESS : FG_ERR_DEVICE_CALL;
}

bool FindCapturePin(const CIODirectShow& r, int32_t port, ComPtr<IPin>* pin)
{
    if (port == -1)
        return SUCCEEDED(r.capture_builder->FindPin(r.source_filter.get(), PINDIR_OUTPUT,
                                                    &PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, false,
                                                    0, pin->put()));
    return GetPin(r.source_filter.get(), port, pin) == FG_SUCCESS && *pin;
}

FGstatus GetPin(IBaseFilter* filter, int n, ComPtr<IPin>* pin)
{
    pin->Reset();
    ComPtr<IEnumPins> pins;
    if (const HRESULT hr = filter->EnumPins(pins.put()); FAILED(hr)) {
        LowError("Error in GetPin(): IBaseFilter::EnumPins() failed! (error %8X)", Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    for (int i = 0; n >= 0; ++i) {
        const HRESULT hr = pins->Next(1, pin->put(), nullptr);
        if (FAILED(hr)) {
            LowError("Error in GetPin(): IEnumPins::Next() failed! (error %8X)", Code(hr));
            return FG_ERR_DEVICE_CALL;
        }
        if (hr != S_OK || i == n)
            break;
    }
    return FG_SUCCESS;
}

FGstatus Release(Vproc_handle proc_id, CIODirectShow& r, FGstatus result)
{
    DisconnectGraph(r);
    // A device that would not stop still streams: detach the renderer before
    // any field its streaming thread reads changes, and before the buffers,
    // event and lock go.
    if (r.renderer)
        r.renderer->SetInstance(nullptr);
    r.renderer = nullptr;
    r.device_name[0] = '\0';
    r.buffer_capacity = 0;
    for (uint8_t*& buffer : r.frame_buffers) {
        VXFree(proc_id, buffer, kSourceFile, __LINE__, 0);
        buffer = nullptr;
    }
    r.frame_size = 0;
    r.frame_event.reset();
    r.lock.reset();
    VXFree(proc_id, r.connector_list, kSourceFile, __LINE__, 0);
    r.connector_list = nullptr;
    r.connector_count = 0;
    r.capture_builder.Reset();
    r.media_control.Reset();
    if (r.graph && r.source_filter)
        r.graph->RemoveFilter(r.source_filter.get());
    r.graph.Reset();
    r.cam_control.Reset();
    r.video_control.Reset();
    r.crossbar.Reset();
    r.decoder.Reset();
    r.chip_control.Reset();
    r.source_pin.Reset();
    r.source_filter.Reset();
    r.allocator.Reset();
    r.target_pin.Reset();
    r.target_filter.Reset();
    return result;
}

} // namespace directshow

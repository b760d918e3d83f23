#include "sim_capture.h"

#include <algorithm>
#include <tuple>

#include "dshow/frames.h"
#include "graph_util.h"
#include "pin_hints.h"

namespace dshow::sim {
namespace {

bool IsFourCC(const GUID& subtype)
{
    const GUID tail = FourCCGuid(0);
    return subtype.Data2 == tail.Data2 && subtype.Data3 == tail.Data3 &&
           std::equal(std::begin(subtype.Data4), std::end(subtype.Data4), tail.Data4);
}

// The type a capture pin offers for `format`.
MediaType TypeOf(const StreamFormat& format)
{
    const int bits = BitsPerPixel(format.subtype);
    VIDEOINFOHEADER info{};
    info.AvgTimePerFrame = format.frame_interval;
    BITMAPINFOHEADER& bmi = info.bmiHeader;
    bmi.biSize = sizeof bmi;
    bmi.biWidth = format.width;
    bmi.biHeight = format.height;
    bmi.biPlanes = 1;
    bmi.biBitCount = uint16_t(bits ? bits : 24);
    bmi.biCompression = IsFourCC(format.subtype) ? format.subtype.Data1 : 0;
    bmi.biSizeImage = uint32_t(FrameBytes(format.subtype, format.width, format.height));
    if (format.frame_interval > 0)
        info.dwBitRate =
            uint32_t(uint64_t(bmi.biSizeImage) * 8 * 10000000 / uint64_t(format.frame_interval));
    MediaType type = MediaType::Video(format.subtype, info);
    type.bFixedSizeSamples = bits != 0;
    return type;
}

bool SameFormat(const StreamFormat& format, const GUID& subtype, const BITMAPINFOHEADER& bmi)
{
    return format.subtype == subtype && format.width == bmi.biWidth &&
           format.height == std::abs(bmi.biHeight);
}

} // namespace

class CapturePin : public BaseOutputPin,
                   public IAMStreamConfig,
                   public IPinCategory,
                   public ISmartTeeRequest {
public:
    explicit CapturePin(SimCaptureFilter& filter)
        : BaseOutputPin(filter, L"Capture"), owner_(filter)
    {
    }

    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        void* found = InterfaceOf<IAMStreamConfig, IPinCategory, ISmartTeeRequest>(this, iid);
        if (!found || !out)
            return BaseOutputPin::QueryInterface(iid, out);
        AddRef();
        *out = found;
        return S_OK;
    }
    uint32_t AddRef() override { return BaseOutputPin::AddRef(); }
    uint32_t Release() override { return BaseOutputPin::Release(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override
    {
        const VIDEOINFOHEADER* info = VideoInfoOf(type);
        if (type.majortype != MEDIATYPE_Video || !info)
            return S_FALSE;
        for (const StreamFormat& format : Allowed())
            if (SameFormat(format, type.subtype, info->bmiHeader))
                return S_OK;
        return S_FALSE;
    }

    HRESULT GetMediaType(int position, MediaType* type) override
    {
        const std::vector<StreamFormat> allowed = Allowed();
        if (position < 0 || std::size_t(position) >= allowed.size())
            return VFW_S_NO_MORE_ITEMS;
        *type = TypeOf(allowed[std::size_t(position)]);
        return S_OK;
    }

    HRESULT GetNumberOfCapabilities(int32_t* count, int32_t* size) override
    {
        if (!count || !size)
            return E_POINTER;
        *count = int32_t(Formats().size());
        *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
        return S_OK;
    }

    HRESULT GetStreamCaps(int32_t index, MediaType* type, VIDEO_STREAM_CONFIG_CAPS* caps) override
    {
        if (!type || !caps)
            return E_POINTER;
        const std::vector<StreamFormat> formats = Formats();
        if (index < 0 || std::size_t(index) >= formats.size())
            return S_FALSE;
        const StreamFormat& format = formats[std::size_t(index)];
        *type = TypeOf(format);
        *caps = {FORMAT_VideoInfo, uint32_t(format.standard), {format.width, format.height}};
        return S_OK;
    }

    HRESULT SetFormat(const AM_MEDIA_TYPE* type) override
    {
        if (!type)
            return E_POINTER;
        if (IsConnected())
            return VFW_E_ALREADY_CONNECTED;
        const VIDEOINFOHEADER* info = VideoInfoOf(*type);
        if (type->majortype != MEDIATYPE_Video || !info)
            return VFW_E_INVALIDMEDIATYPE;
        for (StreamFormat format : Formats())
            if (SameFormat(format, type->subtype, info->bmiHeader)) {
                if (info->AvgTimePerFrame > 0)
                    format.frame_interval = info->AvgTimePerFrame;
                std::lock_guard guard(Filter().Lock());
                fixed_ = std::make_unique<StreamFormat>(format);
                return S_OK;
            }
        return VFW_E_INVALIDMEDIATYPE;
    }

    GUID Category() override { return PIN_CATEGORY_CAPTURE; }
    bool NeedsSmartTee() override
    {
        return owner_.Device().With([](const DeviceConfig& c) { return c.smart_tee; });
    }

    MediaType Type() { return ConnectionType(); }

protected:
    int32_t BufferSize() override
    {
        const int32_t extra =
            owner_.Device().With([](const DeviceConfig& c) { return c.sample_extra; });
        return BaseOutputPin::BufferSize() + std::max(extra, 0);
    }

private:
    std::vector<StreamFormat> Formats()
    {
        return owner_.Device().With([](const DeviceConfig& c) { return c.formats; });
    }

    // The formats the pin connects with now: those of the decoder's standard,
    // and only the one set with SetFormat once there is one.
    std::vector<StreamFormat> Allowed()
    {
        std::vector<StreamFormat> allowed;
        const auto [formats, decoder, standard] = owner_.Device().With([](const DeviceConfig& c) {
            return std::tuple{c.formats, c.tv_formats != 0, c.tv_format};
        });
        std::lock_guard guard(Filter().Lock());
        for (const StreamFormat& format : formats) {
            if (decoder && StandardLines(format.standard) != StandardLines(standard))
                continue;
            if (fixed_ && (format.subtype != fixed_->subtype || format.width != fixed_->width ||
                           format.height != fixed_->height))
                continue;
            allowed.push_back(fixed_ ? *fixed_ : format);
        }
        return allowed;
    }

    SimCaptureFilter& owner_;
    std::unique_ptr<StreamFormat> fixed_;
};

class AnalogInPin : public BasePin, public IPinCategory, public IUpstreamDevice {
public:
    AnalogInPin(SimCaptureFilter& filter, std::vector<int32_t> inputs)
        : BasePin(filter, L"Analog Video In", PINDIR_INPUT), inputs_(std::move(inputs))
    {
    }

    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        void* found = InterfaceOf<IPinCategory, IUpstreamDevice>(this, iid);
        if (!found || !out)
            return BasePin::QueryInterface(iid, out);
        AddRef();
        *out = found;
        return S_OK;
    }
    uint32_t AddRef() override { return BasePin::AddRef(); }
    uint32_t Release() override { return BasePin::Release(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override
    {
        return type.majortype == MEDIATYPE_AnalogVideo ? S_OK : S_FALSE;
    }

    GUID Category() override { return PIN_CATEGORY_ANALOGVIDEOIN; }

    HRESULT MakeUpstream(ComPtr<IBaseFilter>* filter, ComPtr<IPin>* output) override
    {
        *filter = MakeCrossbar(inputs_);
        // Crossbar pins are numbered inputs first: the video output follows them.
        *output = PinsOf(filter->get()).at(inputs_.size());
        return S_OK;
    }

private:
    std::vector<int32_t> inputs_;
};

SimCaptureFilter::SimCaptureFilter(std::shared_ptr<DeviceState> device) : device_(std::move(device))
{
    capture_ = std::make_unique<CapturePin>(*this);
    std::vector<int32_t> inputs =
        device_->With([](const DeviceConfig& c) { return c.crossbar_inputs; });
    if (!inputs.empty())
        analog_in_ = std::make_unique<AnalogInPin>(*this, std::move(inputs));
    device_->Attach(this);
}

SimCaptureFilter::~SimCaptureFilter()
{
    device_->Detach(this);
    StopStreaming();
}

HRESULT SimCaptureFilter::QueryInterface(const GUID& iid, void** out)
{
    const auto [control, decoder] = device_->With([](const DeviceConfig& c) {
        return std::pair{c.video_control_caps >= 0, c.tv_formats != 0};
    });
    void* found = control ? InterfaceOf<IAMVideoControl>(this, iid) : nullptr;
    if (!found && decoder)
        found = InterfaceOf<IAMAnalogVideoDecoder>(this, iid);
    if (!found || !out)
        return BaseFilter::QueryInterface(iid, out);
    return Expose(found, out);
}

HRESULT SimCaptureFilter::Stop()
{
    if (device_->With([](const DeviceConfig& c) { return c.stop_fails; }))
        return E_FAIL;
    StopStreaming();
    return BaseFilter::Stop();
}

HRESULT SimCaptureFilter::Run(REFERENCE_TIME start)
{
    const auto [fails, pump] = device_->With([](const DeviceConfig& c) {
        return std::pair{c.run_fails, c.pump};
    });
    if (fails)
        return E_FAIL;
    if (const HRESULT hr = BaseFilter::Run(start); FAILED(hr))
        return hr;
    if (pump || thread_.joinable())
        return S_OK;
    const MediaType type = capture_->Type();
    const VIDEOINFOHEADER* info = VideoInfoOf(type);
    const REFERENCE_TIME interval =
        info && info->AvgTimePerFrame > 0 ? info->AvgTimePerFrame : 333333;
    stop_.Reset();
    try {
        thread_ = std::thread([this, period = std::chrono::nanoseconds(interval * 100)] {
            while (!stop_.Wait(period))
                DeliverFrame();
        });
    } catch (const std::system_error&) {
        BaseFilter::Stop();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT SimCaptureFilter::GetState(uint32_t timeout_ms, FILTER_STATE* state)
{
    if (!device_->With([](const DeviceConfig& c) { return c.state_stuck; }))
        return BaseFilter::GetState(timeout_ms, state);
    if (!state)
        return E_POINTER;
    PlatformClock().SleepFor(std::chrono::milliseconds(timeout_ms));
    *state = State();
    return VFW_S_STATE_INTERMEDIATE;
}

HRESULT SimCaptureFilter::JoinFilterGraph(IFilterGraph* graph, const wchar_t* name)
{
    if (graph)
        if (const uint32_t code =
                device_->With([](const DeviceConfig& c) { return c.join_exception; }))
            throw HardwareException{code};
    return BaseFilter::JoinFilterGraph(graph, name);
}

int SimCaptureFilter::PinCount() { return analog_in_ ? 2 : 1; }

BasePin* SimCaptureFilter::Pin(int n)
{
    if (n == 0)
        return capture_.get();
    return n == 1 ? analog_in_.get() : nullptr;
}

HRESULT SimCaptureFilter::GetCaps(IPin* pin, int32_t* flags)
{
    if (!pin || !flags)
        return E_POINTER;
    *flags = device_->With([](const DeviceConfig& c) { return c.video_control_caps; });
    return S_OK;
}

HRESULT SimCaptureFilter::SetMode(IPin* pin, int32_t mode)
{
    if (!pin)
        return E_POINTER;
    const int32_t caps = device_->With([](const DeviceConfig& c) { return c.video_control_caps; });
    if (mode & ~caps)
        return E_INVALIDARG;
    std::lock_guard guard(Lock());
    video_mode_ = mode;
    return S_OK;
}

HRESULT SimCaptureFilter::GetMode(IPin* pin, int32_t* mode)
{
    if (!pin || !mode)
        return E_POINTER;
    std::lock_guard guard(Lock());
    *mode = video_mode_;
    return S_OK;
}

HRESULT SimCaptureFilter::put_TVFormat(int32_t format)
{
    return device_->With([&](DeviceConfig& c) {
        if (c.decoder_fails)
            return E_FAIL;
        if (!(format & c.tv_formats) || (format & (format - 1)))
            return E_INVALIDARG;
        c.tv_format = format;
        return S_OK;
    });
}

HRESULT SimCaptureFilter::get_TVFormat(int32_t* format)
{
    if (!format)
        return E_POINTER;
    return device_->With([&](const DeviceConfig& c) {
        if (c.decoder_fails)
            return E_FAIL;
        *format = c.tv_format;
        return S_OK;
    });
}

bool SimCaptureFilter::DeliverIfRunning() { return State() == State_Running && DeliverFrame(); }

bool SimCaptureFilter::DeliverFrame()
{
    const auto [silent, extra] = device_->With([](const DeviceConfig& c) {
        return std::pair{c.silent, c.sample_extra};
    });
    const MediaType type = capture_->Type();
    const VIDEOINFOHEADER* info = VideoInfoOf(type);
    ComPtr<IMediaSample> sample;
    if (silent || !info || FAILED(capture_->GetDeliveryBuffer(&sample)))
        return false;
    const BITMAPINFOHEADER& bmi = info->bmiHeader;
    const int32_t width = bmi.biWidth, height = std::abs(bmi.biHeight);
    uint8_t* data = nullptr;
    sample->GetPointer(&data);
    const Picture picture = ReferencePicture(width, height, device_->TakeFrameNumber());
    if (!EncodePicture(picture, type.subtype, bmi.biHeight > 0, data,
                       std::size_t(sample->GetSize())))
        return false;
    const int64_t length = int64_t(FrameBytes(type.subtype, width, height)) + extra;
    sample->SetActualDataLength(int32_t(std::clamp<int64_t>(length, 0, sample->GetSize())));
    return SUCCEEDED(capture_->Deliver(sample.get()));
}

void SimCaptureFilter::StopStreaming()
{
    stop_.Set();
    if (thread_.joinable())
        thread_.join();
}

ComPtr<IBaseFilter> MakeCaptureFilter(std::shared_ptr<DeviceState> device)
{
    return ComPtr<IBaseFilter>(new SimCaptureFilter(std::move(device)));
}

} // namespace dshow::sim

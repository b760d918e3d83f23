#include "sim_capture.h"

#include <algorithm>
#include <tuple>

#include <base/exposure.h>

#include "graph_util.h"
#include "pin_hints.h"
#include "property_page_list.h"
#include "upstream_once.h"
#include <dshow/com.h>
#include <dshow/frames.h>

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

// The camera's settings over every pixel below the frame number's row:
// exposure and gain scale it (128 each as is), then brightness is added
// (128 none); clipped to 0..255.
void ApplyExposure(Picture* picture, int32_t brightness, int32_t exposure, int32_t gain)
{
    const std::size_t from = std::size_t(picture->width) * 3;
    for (std::size_t i = from; i < picture->rgb.size(); ++i) {
        const int64_t scaled = ondula::ExposedSample(picture->rgb[i], exposure, gain, 128, 128,
                                                     255 + 128 - brightness);
        picture->rgb[i] = uint8_t(std::clamp<int64_t>(scaled + brightness - 128, 0, 255));
    }
}

// The value of property `number` of a device's table; 128 when it has none.
int32_t ValueOf(const std::map<int32_t, Property>& table, int32_t number)
{
    const auto found = table.find(number);
    return found == table.end() ? 128 : found->second.value;
}

// The flips of video-control `mode`, below the frame number's row.
void Mirror(Picture* picture, int32_t mode)
{
    const std::size_t row = std::size_t(picture->width) * 3;
    uint8_t* const first = picture->rgb.data() + row;
    uint8_t* const end = picture->rgb.data() + picture->rgb.size();
    if (mode & VideoControlFlag_FlipHorizontal)
        for (uint8_t* line = first; line < end; line += row)
            for (std::size_t l = 0, r = row - 3; l < r; l += 3, r -= 3)
                std::swap_ranges(line + l, line + l + 3, line + r);
    if (mode & VideoControlFlag_FlipVertical)
        for (uint8_t *top = first, *bottom = end - row; top < bottom; top += row, bottom -= row)
            std::swap_ranges(top, top + row, bottom);
}

} // namespace

class CapturePin : public BaseOutputPin,
                   public IAMStreamConfig,
                   public ISpecifyPropertyPages,
                   public IPinCategory,
                   public ISmartTeeRequest {
public:
    CapturePin(SimCaptureFilter& filter, const wchar_t* name, const GUID& category)
        : BaseOutputPin(filter, name), owner_(filter), category_(category)
    {
    }

    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        void* found = iid == IUnknown::kIid
                          ? nullptr
                          : InterfaceOf<IAMStreamConfig, ISpecifyPropertyPages, IPinCategory,
                                        ISmartTeeRequest>(this, iid);
        return found && out ? Expose(found, out) : BaseOutputPin::QueryInterface(iid, out);
    }
    uint32_t AddRef() override { return BaseOutputPin::AddRef(); }
    uint32_t Release() override { return BaseOutputPin::Release(); }

    HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override
    {
        const bool refused = owner_.Device().With([](DeviceConfig& c) {
            if (c.connect_failures <= 0)
                return false;
            --c.connect_failures;
            return true;
        });
        return refused ? VFW_E_NO_ACCEPTABLE_TYPES : BaseOutputPin::Connect(receiver, type);
    }

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

    HRESULT GetFormat(MediaType* type) override
    {
        if (!type)
            return E_POINTER;
        {
            std::lock_guard guard(Filter().Lock());
            if (fixed_ || last_) {
                *type = fixed_ ? TypeOf(*fixed_) : *last_;
                return S_OK;
            }
        }
        return GetMediaType(0, type) == S_OK ? S_OK : VFW_E_NO_ACCEPTABLE_TYPES;
    }

    HRESULT CompleteConnect(IPin* peer) override
    {
        const HRESULT hr = BaseOutputPin::CompleteConnect(peer);
        if (SUCCEEDED(hr)) {
            std::lock_guard guard(Filter().Lock());
            last_ = std::make_unique<MediaType>(ConnectionType());
        }
        return hr;
    }

    HRESULT GetPages(CAUUID* pages) override
    {
        return PageListOut(CLSID_VideoStreamConfigPropertyPage, pages);
    }

    GUID Category() override { return category_; }
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
    GUID category_;
    std::unique_ptr<StreamFormat> fixed_;
    std::unique_ptr<MediaType> last_; // the type of the last connection
};

class AnalogInPin : public BasePin, public IPinCategory, public IUpstreamDevice {
public:
    AnalogInPin(SimCaptureFilter& filter, std::shared_ptr<DeviceState> device)
        : BasePin(filter, L"Analog Video In", PINDIR_INPUT), device_(std::move(device))
    {
    }

    HRESULT QueryInterface(const GUID& iid, void** out) override
    {
        void* found = InterfaceOf<IPinCategory, IUpstreamDevice>(this, iid);
        return found && out ? Expose(found, out) : BasePin::QueryInterface(iid, out);
    }
    uint32_t AddRef() override { return BasePin::AddRef(); }
    uint32_t Release() override { return BasePin::Release(); }

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override
    {
        return type.majortype == MEDIATYPE_AnalogVideo ? S_OK : S_FALSE;
    }

    GUID Category() override
    {
        return device_->With([](const DeviceConfig& c) { return c.analog_in_uncategorised; })
                   ? GUID_NULL
                   : PIN_CATEGORY_ANALOGVIDEOIN;
    }

    HRESULT MakeUpstream(ComPtr<IBaseFilter>* filter, std::wstring* name,
                         ComPtr<IPin>* output) override
    {
        const Upstream crossbar = crossbar_.Get([this] {
            Upstream made{{}, L"Crossbar", {}};
            made.filter = MakeCrossbar(device_, 0, &made.output);
            return made;
        });
        *filter = crossbar.filter;
        *name = crossbar.name;
        output->Reset();
        if (!device_->With([](const DeviceConfig& c) { return c.crossbar_unconnected; }))
            *output = crossbar.output;
        return S_OK;
    }

    // What the crossbar output connected here carries.
    int32_t Scene()
    {
        const ComPtr<IAnalogSignal> signal = Peer().As<IAnalogSignal>();
        return signal ? signal->Scene() : kNoSignal;
    }

private:
    std::shared_ptr<DeviceState> device_;
    UpstreamOnce crossbar_;
};

SimCaptureFilter::SimCaptureFilter(std::shared_ptr<DeviceState> device) : device_(std::move(device))
{
    capture_ = std::make_unique<CapturePin>(*this, L"Capture", PIN_CATEGORY_CAPTURE);
    if (device_->With([](const DeviceConfig& c) { return !c.crossbar_inputs.empty(); }))
        analog_in_ = std::make_unique<AnalogInPin>(*this, device_);
    if (device_->With([](const DeviceConfig& c) { return c.preview_pin; }))
        preview_ = std::make_unique<CapturePin>(*this, L"Preview", PIN_CATEGORY_PREVIEW);
    device_->Attach(this);
}

SimCaptureFilter::~SimCaptureFilter()
{
    device_->Detach(this);
    StopStreaming();
}

HRESULT SimCaptureFilter::QueryInterface(const GUID& iid, void** out)
{
    const auto [control, decoder, amplifier, camera, vfw] =
        device_->With([](const DeviceConfig& c) {
            return std::tuple{c.video_control_caps >= 0, c.tv_formats != 0, !c.amplifier.empty(),
                              !c.camera_control.empty(), c.vfw_dialogs != 0};
        });
    void* found = control ? InterfaceOf<IAMVideoControl>(this, iid) : nullptr;
    if (!found && decoder)
        found = InterfaceOf<IAMAnalogVideoDecoder>(this, iid);
    if (!found && amplifier && InterfaceMatches<IAMVideoProcAmp>(iid))
        found = static_cast<IAMVideoProcAmp*>(&amplifier_);
    if (!found && camera && InterfaceMatches<IAMCameraControl>(iid))
        found = static_cast<IAMCameraControl*>(&camera_control_);
    if (!found && iid == ISpecifyPropertyPages::kIid)
        found = static_cast<ISpecifyPropertyPages*>(&dialogs_);
    if (!found && vfw && iid == IAMVfwCaptureDialogs::kIid)
        found = static_cast<IAMVfwCaptureDialogs*>(&dialogs_);
    if (!found || !out)
        return BaseFilter::QueryInterface(iid, out);
    return Expose(found, out);
}

HRESULT SimCaptureFilter::Stop()
{
    if (device_->With([](const DeviceConfig& c) { return c.stop_fails; }))
        return E_FAIL;
    device_->CountStop();
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

int SimCaptureFilter::PinCount() { return 1 + (analog_in_ ? 1 : 0) + (preview_ ? 1 : 0); }

BasePin* SimCaptureFilter::Pin(int n)
{
    BasePin* const pins[] = {capture_.get(), analog_in_.get(), preview_.get()};
    for (BasePin* pin : pins)
        if (pin && n-- == 0)
            return pin;
    return nullptr;
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
    const auto [caps, fails] = device_->With([](const DeviceConfig& c) {
        return std::pair{c.video_control_caps, c.set_mode_fails};
    });
    if (fails)
        return E_FAIL;
    if (mode & ~caps)
        return E_INVALIDARG;
    // The trigger bit is an event, not a mode to keep.
    if (mode & VideoControlFlag_Trigger)
        device_->Trigger();
    std::lock_guard guard(Lock());
    video_mode_ = mode & ~VideoControlFlag_Trigger;
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

HRESULT SimCaptureFilter::GetFrameRateList(IPin* pin, int32_t index, SIZE dimensions,
                                           int32_t* count, int64_t** periods)
{
    if (!pin || !count || !periods)
        return E_POINTER;
    *count = 0;
    *periods = nullptr;
    return device_->With([&](const DeviceConfig& c) {
        if (index < 0 || std::size_t(index) >= c.formats.size())
            return E_INVALIDARG;
        const StreamFormat& format = c.formats[std::size_t(index)];
        if (format.width != dimensions.cx || format.height != dimensions.cy)
            return E_INVALIDARG;
        // The format's own rate, then a half and a quarter of it.
        constexpr int32_t kRates = 3;
        auto* list = static_cast<int64_t*>(CoTaskMemAlloc(kRates * sizeof(int64_t)));
        if (!list)
            return E_OUTOFMEMORY;
        for (int32_t i = 0; i < kRates; ++i)
            list[i] = format.frame_interval << i;
        *count = kRates;
        *periods = list;
        return S_OK;
    });
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

bool SimCaptureFilter::CaptureFormat(VIDEOINFOHEADER* format)
{
    const MediaType type = capture_->Type();
    const VIDEOINFOHEADER* info = VideoInfoOf(type);
    if (info)
        *format = *info;
    return info != nullptr;
}

bool SimCaptureFilter::DeliverFrame()
{
    const auto [silent, extra, brightness, exposure,
                gain] = device_->With([](const DeviceConfig& c) {
        return std::tuple{c.silent, c.sample_extra, ValueOf(c.amplifier, VideoProcAmp_Brightness),
                          ValueOf(c.camera_control, CameraControl_Exposure),
                          ValueOf(c.amplifier, VideoProcAmp_Gain)};
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
    int32_t mode = 0;
    {
        std::lock_guard guard(Lock());
        mode = video_mode_;
    }
    if ((mode & VideoControlFlag_ExternalTriggerEnable) && !device_->TakeTrigger())
        return false;
    const int32_t scene = analog_in_ ? analog_in_->Scene() : 0;
    Picture picture = ReferencePicture(width, height, device_->TakeFrameNumber(), scene);
    ApplyExposure(&picture, brightness, exposure, gain);
    Mirror(&picture, mode);
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

template <class Control>
HRESULT PropertyControl<Control>::QueryInterface(const GUID& iid, void** out)
{
    return filter_.QueryInterface(iid, out);
}

template <class Control> uint32_t PropertyControl<Control>::AddRef() { return filter_.AddRef(); }

template <class Control> uint32_t PropertyControl<Control>::Release() { return filter_.Release(); }

template <class Control>
HRESULT PropertyControl<Control>::GetRange(int32_t property, int32_t* min, int32_t* max,
                                           int32_t* step, int32_t* default_value,
                                           int32_t* caps_flags)
{
    if (!min || !max || !step || !default_value || !caps_flags)
        return E_POINTER;
    return filter_.Device().With([&](const DeviceConfig& c) {
        const auto found = (c.*table_).find(property);
        if (found == (c.*table_).end())
            return E_INVALIDARG;
        const Property& p = found->second;
        *min = p.min;
        *max = p.max;
        *step = p.step;
        *default_value = p.default_value;
        *caps_flags = p.caps;
        return S_OK;
    });
}

template <class Control>
HRESULT PropertyControl<Control>::Set(int32_t property, int32_t value, int32_t flags)
{
    return filter_.Device().With([&](DeviceConfig& c) {
        const auto found = (c.*table_).find(property);
        if (c.property_set_fails)
            return E_FAIL;
        if (found == (c.*table_).end())
            return E_INVALIDARG;
        Property& p = found->second;
        if (value < p.min || value > p.max || !(flags & p.caps) ||
            (flags != Property_Flags_Auto && flags != Property_Flags_Manual))
            return E_INVALIDARG;
        p.value = value;
        p.flags = flags;
        return S_OK;
    });
}

template <class Control>
HRESULT PropertyControl<Control>::Get(int32_t property, int32_t* value, int32_t* flags)
{
    if (!value || !flags)
        return E_POINTER;
    return filter_.Device().With([&](const DeviceConfig& c) {
        const auto found = (c.*table_).find(property);
        if (found == (c.*table_).end())
            return E_INVALIDARG;
        *value = found->second.value;
        *flags = found->second.flags;
        return S_OK;
    });
}

template class PropertyControl<IAMVideoProcAmp>;
template class PropertyControl<IAMCameraControl>;

ComPtr<IBaseFilter> MakeCaptureFilter(std::shared_ptr<DeviceState> device)
{
    return ComPtr<IBaseFilter>(new SimCaptureFilter(std::move(device)));
}

} // namespace dshow::sim

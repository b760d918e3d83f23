#include "property_page_model.h"

#include <cstdlib>
#include <iterator>
#include <span>
#include <string>

#include <dshow/controls.h>
#include <dshow/media_type.h>

namespace dshow {
namespace {

constexpr const wchar_t* kAmplifierNames[] = {
    L"Brightness", L"Contrast",     L"Hue",           L"Saturation",     L"Sharpness",
    L"Gamma",      L"Color Enable", L"White Balance", L"Backlight Comp", L"Gain"};
constexpr const wchar_t* kCameraNames[] = {L"Pan",      L"Tilt", L"Roll", L"Zoom",
                                           L"Exposure", L"Iris", L"Focus"};

// The amplifier and the camera control answer alike: one slider a property.
template <class Control, std::size_t N>
HRESULT LoadSliders(Control& control, const wchar_t* const (&names)[N], PropertyPage* page)
{
    for (int32_t n = 0; n < int32_t(N); ++n) {
        PageSlider slider;
        slider.label = names[n];
        slider.property = n;
        int32_t caps = 0, flags = 0;
        if (FAILED(control.GetRange(n, &slider.min, &slider.max, &slider.step,
                                    &slider.default_value, &caps)) ||
            FAILED(control.Get(n, &slider.value, &flags)))
            continue;
        slider.can_auto = caps & Property_Flags_Auto;
        slider.automatic = flags & Property_Flags_Auto;
        page->sliders.push_back(slider);
    }
    return S_OK;
}

template <class Control> HRESULT ApplySliders(const PropertyPage& page, Control& control)
{
    for (const PageSlider& slider : page.sliders) {
        const int32_t wanted = slider.automatic ? Property_Flags_Auto : Property_Flags_Manual;
        int32_t value = 0, flags = 0;
        if (SUCCEEDED(control.Get(slider.property, &value, &flags)) && value == slider.value &&
            flags == wanted)
            continue;
        if (const HRESULT hr = control.Set(slider.property, slider.value, wanted); FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT LoadAmplifier(IAMVideoProcAmp& amplifier, PropertyPage* page)
{
    return LoadSliders(amplifier, kAmplifierNames, page);
}

HRESULT LoadCamera(IAMCameraControl& camera, PropertyPage* page)
{
    return LoadSliders(camera, kCameraNames, page);
}

std::wstring SubtypeName(const GUID& subtype)
{
    static const struct {
        GUID subtype;
        const wchar_t* name;
    } kNamed[] = {{MEDIASUBTYPE_RGB1, L"RGB1"},     {MEDIASUBTYPE_RGB4, L"RGB4"},
                  {MEDIASUBTYPE_RGB8, L"RGB8"},     {MEDIASUBTYPE_RGB555, L"RGB555"},
                  {MEDIASUBTYPE_RGB565, L"RGB565"}, {MEDIASUBTYPE_RGB24, L"RGB24"},
                  {MEDIASUBTYPE_RGB32, L"RGB32"},   {MEDIASUBTYPE_ARGB32, L"ARGB32"}};
    for (const auto& named : kNamed)
        if (named.subtype == subtype)
            return named.name;
    if (FourCCGuid(subtype.Data1) != subtype)
        return L"Unknown";
    std::wstring code;
    for (int shift = 0; shift < 32; shift += 8)
        code += wchar_t((subtype.Data1 >> shift) & 0xFF);
    return code;
}

// Calls `apply(choice.key, value)` for the value of each choice with an option
// chosen: S_OK, or the first failure.
template <class Apply> HRESULT ApplyChosen(const PropertyPage& page, Apply apply)
{
    for (const PageChoice& choice : page.choices) {
        if (choice.chosen < 0 || std::size_t(choice.chosen) >= choice.values.size())
            continue;
        if (const HRESULT hr = apply(choice.key, choice.values[std::size_t(choice.chosen)]);
            FAILED(hr))
            return hr;
    }
    return S_OK;
}

bool SameFormat(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b)
{
    const VIDEOINFOHEADER* x = VideoInfoOf(a);
    const VIDEOINFOHEADER* y = VideoInfoOf(b);
    return x && y && a.subtype == b.subtype && x->bmiHeader.biWidth == y->bmiHeader.biWidth &&
           std::abs(x->bmiHeader.biHeight) == std::abs(y->bmiHeader.biHeight);
}

// One choice among the stream capabilities, "RGB24 (320x240)".
HRESULT LoadFormats(IAMStreamConfig& config, PropertyPage* page)
{
    int32_t count = 0, size = 0;
    if (const HRESULT hr = config.GetNumberOfCapabilities(&count, &size); FAILED(hr))
        return hr;
    MediaType current;
    const bool known = SUCCEEDED(config.GetFormat(&current));
    PageChoice choice;
    choice.label = L"Format";
    for (int32_t i = 0; i < count; ++i) {
        MediaType type;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        if (config.GetStreamCaps(i, &type, &caps) != S_OK)
            continue;
        if (choice.chosen < 0 && known && SameFormat(current, type))
            choice.chosen = int(choice.options.size());
        choice.options.push_back(SubtypeName(type.subtype) + L" (" +
                                 std::to_wstring(caps.InputSize.cx) + L"x" +
                                 std::to_wstring(caps.InputSize.cy) + L")");
        choice.values.push_back(i);
    }
    page->choices.push_back(choice);
    return S_OK;
}

HRESULT ApplyFormats(const PropertyPage& page, IAMStreamConfig& config)
{
    return ApplyChosen(page, [&config](int32_t, int32_t index) {
        MediaType wanted, current;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        if (const HRESULT hr = config.GetStreamCaps(index, &wanted, &caps); hr != S_OK)
            return FAILED(hr) ? hr : E_INVALIDARG;
        if (SUCCEEDED(config.GetFormat(&current)) && SameFormat(current, wanted))
            return S_OK;
        return config.SetFormat(&wanted);
    });
}

std::wstring ConnectorName(int32_t type)
{
    switch (type) {
    case PhysConn_Video_Tuner:
        return L"Video Tuner";
    case PhysConn_Video_Composite:
        return L"Video Composite";
    case PhysConn_Video_SVideo:
        return L"Video SVideo";
    case PhysConn_Video_RGB:
        return L"Video RGB";
    case PhysConn_Video_VideoDecoder:
        return L"Video Decoder";
    case PhysConn_Audio_Tuner:
        return L"Audio Tuner";
    case PhysConn_Audio_Line:
        return L"Audio Line";
    case PhysConn_Audio_AudioDecoder:
        return L"Audio Decoder";
    }
    return L"Connector " + std::to_wstring(type);
}

// One choice an output: the inputs it can route.
HRESULT LoadCrossbar(IAMCrossbar& crossbar, PropertyPage* page)
{
    int32_t outputs = 0, inputs = 0;
    if (const HRESULT hr = crossbar.get_PinCounts(&outputs, &inputs); FAILED(hr))
        return hr;
    for (int32_t out = 0; out < outputs; ++out) {
        int32_t related = 0, type = 0, routed = -1;
        if (FAILED(crossbar.get_CrossbarPinInfo(false, out, &related, &type)))
            continue;
        PageChoice choice;
        choice.label = L"Output " + ConnectorName(type);
        choice.key = out;
        crossbar.get_IsRoutedTo(out, &routed);
        for (int32_t in = 0; in < inputs; ++in) {
            if (crossbar.CanRoute(out, in) != S_OK ||
                FAILED(crossbar.get_CrossbarPinInfo(true, in, &related, &type)))
                continue;
            if (in == routed)
                choice.chosen = int(choice.options.size());
            choice.options.push_back(ConnectorName(type));
            choice.values.push_back(in);
        }
        page->choices.push_back(choice);
    }
    return S_OK;
}

HRESULT ApplyCrossbar(const PropertyPage& page, IAMCrossbar& crossbar)
{
    return ApplyChosen(page, [&crossbar](int32_t output, int32_t input) {
        int32_t routed = -1;
        if (SUCCEEDED(crossbar.get_IsRoutedTo(output, &routed)) && routed == input)
            return S_OK;
        return crossbar.Route(output, input);
    });
}

// The channel as a slider.
HRESULT LoadTuner(IAMTVTuner& tuner, PropertyPage* page)
{
    PageSlider channel;
    channel.label = L"Channel";
    int32_t video = 0, audio = 0;
    if (const HRESULT hr = tuner.ChannelMinMax(&channel.min, &channel.max); FAILED(hr))
        return hr;
    if (const HRESULT hr = tuner.get_Channel(&channel.value, &video, &audio); FAILED(hr))
        return hr;
    channel.default_value = channel.value;
    page->sliders.push_back(channel);
    return S_OK;
}

HRESULT ApplyTuner(const PropertyPage& page, IAMTVTuner& tuner)
{
    for (const PageSlider& channel : page.sliders) {
        int32_t now = 0, video = 0, audio = 0;
        if (SUCCEEDED(tuner.get_Channel(&now, &video, &audio)) && now == channel.value)
            continue;
        if (const HRESULT hr = tuner.put_Channel(channel.value, -1, -1); FAILED(hr))
            return hr;
    }
    return S_OK;
}

struct PageKind {
    GUID clsid;
    const wchar_t* title;
    HRESULT (*load)(IUnknown* object, PropertyPage* page);
    HRESULT (*apply)(const PropertyPage& page, IUnknown* object);
};

// A page over interface Control of its object; E_NOINTERFACE without it.
template <class Control, HRESULT (*Load)(Control&, PropertyPage*),
          HRESULT (*Apply)(const PropertyPage&, Control&)>
constexpr PageKind KindOver(const GUID& clsid, const wchar_t* title)
{
    return {clsid, title,
            [](IUnknown* object, PropertyPage* page) {
                const ComPtr<Control> control = ComPtr<IUnknown>(object).As<Control>();
                return control ? Load(*control.get(), page) : E_NOINTERFACE;
            },
            [](const PropertyPage& page, IUnknown* object) {
                const ComPtr<Control> control = ComPtr<IUnknown>(object).As<Control>();
                return control ? Apply(page, *control.get()) : E_NOINTERFACE;
            }};
}

const PageKind kPages[] = {
    KindOver<IAMVideoProcAmp, LoadAmplifier, ApplySliders>(CLSID_VideoProcAmpPropertyPage,
                                                           L"Video Proc Amp"),
    KindOver<IAMCameraControl, LoadCamera, ApplySliders>(CLSID_CameraControlPropertyPage,
                                                         L"Camera Control"),
    KindOver<IAMStreamConfig, LoadFormats, ApplyFormats>(CLSID_VideoStreamConfigPropertyPage,
                                                         L"Stream Format"),
    KindOver<IAMCrossbar, LoadCrossbar, ApplyCrossbar>(CLSID_CrossbarPropertyPage, L"Crossbar"),
    KindOver<IAMTVTuner, LoadTuner, ApplyTuner>(CLSID_TVTunerPropertyPage, L"TV Tuner"),
};

const PageKind* FindKind(const GUID& clsid)
{
    for (const PageKind& kind : kPages)
        if (kind.clsid == clsid)
            return &kind;
    return nullptr;
}

} // namespace

HRESULT LoadPropertyPage(const GUID& clsid, IUnknown* object, PropertyPage* page)
{
    if (!object || !page)
        return E_POINTER;
    const PageKind* kind = FindKind(clsid);
    if (!kind)
        return REGDB_E_CLASSNOTREG;
    *page = PropertyPage{};
    page->clsid = clsid;
    page->title = kind->title;
    return kind->load(object, page);
}

HRESULT ApplyPropertyPage(const PropertyPage& page, IUnknown* object)
{
    const PageKind* kind = FindKind(page.clsid);
    if (!object)
        return E_POINTER;
    return kind ? kind->apply(page, object) : REGDB_E_CLASSNOTREG;
}

} // namespace dshow

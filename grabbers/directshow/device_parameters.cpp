#include "device_parameters.h"

#include <strings.h>

#include <cmath>
#include <cstring>
#include <string>

#include "capture_graph.h"
#include "low_error.h"
#include <fgint/values.h>

namespace directshow {
namespace {

using namespace dshow;

struct DeviceProperty {
    const char* name;
    bool camera; // IAMCameraControl, else IAMVideoProcAmp
    int32_t number;
    bool on_off; // set and read as "on" or "off"
};

constexpr DeviceProperty kProperties[] = {
    {"brightness", false, 0, false},
    {"contrast", false, 1, false},
    {"hue", false, 2, false},
    {"saturation", false, 3, false},
    {"sharpness", false, 4, false},
    {"gamma", false, 5, false},
    {"color_enable", false, 6, true},
    {"white_balance", false, 7, false},
    {"backlight_compensation", false, 8, true},
    {"video_gain", false, 9, false},
    {"pan", true, 0, false},
    {"tilt", true, 1, false},
    {"roll", true, 2, false},
    {"zoom", true, 3, false},
    {"exposure", true, 4, false},
    {"iris", true, 5, false},
    {"focus", true, 6, false},
};

constexpr int32_t kVideoGain = 9;

const DeviceProperty* FindProperty(const char* name, std::size_t length)
{
    for (const DeviceProperty& p : kProperties)
        if (std::strlen(p.name) == length && strncasecmp(p.name, name, length) == 0)
            return &p;
    return nullptr;
}

// The amplifier and the camera control answer alike; one view over either.
struct Control {
    IAMVideoProcAmp* amplifier;
    IAMCameraControl* camera;

    explicit operator bool() const { return amplifier || camera; }
    HRESULT GetRange(int32_t n, int32_t* min, int32_t* max, int32_t* step, int32_t* def,
                     int32_t* caps) const
    {
        return amplifier ? amplifier->GetRange(n, min, max, step, def, caps)
                         : camera->GetRange(n, min, max, step, def, caps);
    }
    HRESULT Set(int32_t n, int32_t value, int32_t flags) const
    {
        return amplifier ? amplifier->Set(n, value, flags) : camera->Set(n, value, flags);
    }
    HRESULT Get(int32_t n, int32_t* value, int32_t* flags) const
    {
        return amplifier ? amplifier->Get(n, value, flags) : camera->Get(n, value, flags);
    }
};

Control ControlOf(const CIODirectShow& r, const DeviceProperty& p)
{
    if (p.camera)
        return {nullptr, r.cam_control.get()};
    return {r.chip_control.get(), nullptr};
}

// The value and flags `value` asks for: 5325 or 5326 when it is not one.
FGstatus ParseValue(const DeviceProperty& p, const Vcpar& value, bool* automatic, int32_t* number)
{
    *automatic = false;
    if (!p.on_off && value.type == VPAR_INT) {
        *number = value.par.l;
        return FG_SUCCESS;
    }
    const char* word = nullptr;
    if (const FGstatus status = fg::TextOf(&value, &word); status != FG_SUCCESS)
        return status;
    if (p.on_off) {
        if (strcasecmp(word, "on") != 0 && strcasecmp(word, "off") != 0)
            return FG_ERR_PARAM_VALUE;
        *number = strcasecmp(word, "on") == 0 ? 1 : 0;
        return FG_SUCCESS;
    }
    if (strcasecmp(word, "auto") != 0)
        return FG_ERR_PARAM_VALUE;
    *automatic = true;
    return FG_SUCCESS;
}

// Video-control modes set as "true" or "false".
struct ModeParameter {
    const char* name;
    int32_t bit;
};

constexpr ModeParameter kModes[] = {
    {"flip_horizontal", VideoControlFlag_FlipHorizontal},
    {"flip_vertical", VideoControlFlag_FlipVertical},
    {"external_trigger", VideoControlFlag_ExternalTriggerEnable},
};

const ModeParameter* FindMode(const char* name, std::size_t length)
{
    for (const ModeParameter& m : kModes)
        if (std::strlen(m.name) == length && strncasecmp(m.name, name, length) == 0)
            return &m;
    return nullptr;
}

int32_t VideoCaps(const CIODirectShow& r)
{
    int32_t caps = 0;
    if (!r.video_control || FAILED(r.video_control->GetCaps(r.source_pin.get(), &caps)))
        return 0;
    return caps;
}

// GetMode, `bit` set or cleared, SetMode, with the graph torn down and
// reconnected: 5 when either failed.
FGstatus ApplyMode(CIODirectShow& r, FGInstance* fginst, int32_t bit, bool on)
{
    HRESULT hr = S_OK;
    const FGstatus status = ApplyDeviceSetting(r, fginst->port, [&] {
        int32_t mode = 0;
        if (SUCCEEDED(hr = r.video_control->GetMode(r.source_pin.get(), &mode)))
            hr = r.video_control->SetMode(r.source_pin.get(), on ? mode | bit : mode & ~bit);
    });
    return status == FG_SUCCESS && SUCCEEDED(hr) ? FG_SUCCESS : FG_ERR_DEVICE_CALL;
}

FGstatus SetMode(CIODirectShow& r, FGInstance* fginst, const ModeParameter& m, const Vcpar* values,
                 int32_t num)
{
    const bool trigger = m.bit == VideoControlFlag_ExternalTriggerEnable;
    if (!(VideoCaps(r) & m.bit))
        return trigger ? FG_ERR_MODE : FG_ERR_PARAM_UNKNOWN;
    const char* word = nullptr;
    if (num < 1 || fg::TextOf(values, &word) != FG_SUCCESS)
        return FG_ERR_PARAM_TYPE;
    const bool on = strcasecmp(word, "true") == 0;
    if (!on && strcasecmp(word, "false") != 0)
        return FG_ERR_PARAM_VALUE;
    const FGstatus status = ApplyMode(r, fginst, m.bit, on);
    if (trigger) {
        int32_t mode = 0;
        if (status == FG_SUCCESS || SUCCEEDED(r.video_control->GetMode(r.source_pin.get(), &mode)))
            fginst->external_trigger = status == FG_SUCCESS ? on : (mode & m.bit) != 0;
    }
    return status;
}

FGstatus SetFrameRate(CIODirectShow& r, const Vcpar* values, int32_t num)
{
    if (num < 1 || values[0].type != VPAR_REAL)
        return FG_ERR_PARAM_TYPE;
    const double rate = values[0].par.f;
    // A rate of 0 (or not finite) has no frame period, and one whose period
    // or bit rate lies beyond 64 bits none that the format can hold.
    constexpr double kInt64Limit = 0x1p63;
    const double period = 1e7 / rate;
    const double bit_rate = double(r.wanted_format.bmiHeader.biSizeImage) * 8 * rate;
    if (rate == 0 || !std::isfinite(rate) || std::abs(period) >= kInt64Limit ||
        std::abs(bit_rate) >= kInt64Limit)
        return FG_ERR_PARAM_VALUE;
    const VIDEOINFOHEADER working = r.wanted_format;
    r.wanted_format.dwBitRate = uint32_t(int64_t(bit_rate));
    r.wanted_format.AvgTimePerFrame = REFERENCE_TIME(period);
    if (r.media_control)
        StopGrabbing(r);
    ComPtr<IPin> source;
    r.target_pin->ConnectedTo(source.put());
    if (const HRESULT hr = r.graph->Reconnect(r.target_pin.get()); FAILED(hr)) {
        LowError("Error in Reconnect(): IGraphBuilder::Reconnect() failed! (error %8X)", Code(hr));
        // Back on the rate the graph last ran with, so that grabs go on.
        r.wanted_format.dwBitRate = working.dwBitRate;
        r.wanted_format.AvgTimePerFrame = working.AvgTimePerFrame;
        if (source)
            r.graph->ConnectDirect(source.get(), r.target_pin.get(), nullptr);
        return FG_ERR_DEVICE_CALL;
    }
    return FG_SUCCESS;
}

} // namespace

FGstatus SetVideoControl(CIODirectShow& r, FGInstance* fginst, const char* name,
                         const Vcpar* values, int32_t num)
{
    if (strcasecmp(name, "frame_rate") == 0)
        return SetFrameRate(r, values, num);
    if (strcasecmp(name, "do_force_trigger") == 0) {
        if (!(VideoCaps(r) & VideoControlFlag_ExternalTriggerEnable))
            return FG_ERR_MODE;
        if (!fginst->external_trigger)
            return FG_ERR_PARAM_VALUE;
        return ApplyMode(r, fginst, VideoControlFlag_Trigger, true);
    }
    if (const ModeParameter* m = FindMode(name, std::strlen(name)))
        return SetMode(r, fginst, *m, values, num);
    return FG_ERR_PARAM_UNKNOWN;
}

FGstatus GetVideoControl(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer)
{
    answer->clear();
    if (strcasecmp(name, "frame_rate") == 0) {
        if (r.wanted_format.AvgTimePerFrame != 0)
            answer->push_back(fg::Real(1e7 / double(r.wanted_format.AvgTimePerFrame)));
        return FG_SUCCESS;
    }
    const std::size_t length = std::strlen(name);
    constexpr std::size_t kSuffix = sizeof "_range" - 1;
    const bool range = length > kSuffix && strcasecmp(name + length - kSuffix, "_range") == 0;
    const ModeParameter* m = FindMode(name, range ? length - kSuffix : length);
    // The external trigger is a setting of the open: only its range is read here.
    if (!m || (!range && m->bit == VideoControlFlag_ExternalTriggerEnable))
        return FG_ERR_PARAM_UNKNOWN;
    if (!(VideoCaps(r) & m->bit))
        return FG_SUCCESS;
    if (range) {
        *answer = {fg::Text("false"), fg::Text("true"), fg::Text("false")};
        return FG_SUCCESS;
    }
    int32_t mode = 0;
    if (SUCCEEDED(r.video_control->GetMode(r.source_pin.get(), &mode)))
        answer->push_back(fg::Text(mode & m->bit ? "true" : "false"));
    return FG_SUCCESS;
}

FGstatus SetDeviceProperty(CIODirectShow& r, FGInstance* fginst, const char* name,
                           const Vcpar* values, int32_t num)
{
    const DeviceProperty* p = FindProperty(name, std::strlen(name));
    if (!p)
        return FG_ERR_PARAM_UNKNOWN;
    if (num < 1)
        return FG_ERR_PARAM_TYPE;
    bool automatic = false;
    int32_t value = 0;
    if (const FGstatus status = ParseValue(*p, values[0], &automatic, &value); status != FG_SUCCESS)
        return status;
    const Control control = ControlOf(r, *p);
    if (!control) {
        LowError(p->camera ? "Error in SetCameraControlProperties(): No cam_control specified."
                           : "Error in SetVideoProcAmpProperties(): No chip_control specified.");
        return FG_ERR_DEVICE_CALL;
    }
    HRESULT hr = S_OK;
    const FGstatus status = ApplyDeviceSetting(r, fginst->port, [&] {
        int32_t flags = 0;
        if (automatic && FAILED(hr = control.Get(p->number, &value, &flags)))
            return;
        hr = control.Set(p->number, value, automatic ? Property_Flags_Auto : Property_Flags_Manual);
    });
    if (status != FG_SUCCESS)
        return status;
    if (FAILED(hr))
        return FG_ERR_PARAM_UNKNOWN;
    if (!p->camera && p->number == kVideoGain)
        fginst->gain = automatic ? -1.0f : float(value);
    return FG_SUCCESS;
}

FGstatus GetDeviceProperty(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer)
{
    const std::size_t length = std::strlen(name);
    constexpr std::size_t kSuffix = sizeof "_range" - 1;
    const bool range = length > kSuffix && strcasecmp(name + length - kSuffix, "_range") == 0;
    const DeviceProperty* p = FindProperty(name, range ? length - kSuffix : length);
    if (!p)
        return FG_ERR_PARAM_UNKNOWN;
    answer->clear();
    const Control control = ControlOf(r, *p);
    if (range) {
        int32_t min = 0, max = 0, step = 0, def = 0, caps = 0;
        if (!control || FAILED(control.GetRange(p->number, &min, &max, &step, &def, &caps)))
            return FG_SUCCESS;
        if (p->on_off) {
            *answer = {fg::Text("on"), fg::Text("off"), fg::Text(def ? "on" : "off")};
            return FG_SUCCESS;
        }
        *answer = {fg::Int(min), fg::Int(max), fg::Int(step), fg::Int(def)};
        if (caps & Property_Flags_Auto)
            answer->push_back(fg::Text("auto"));
        return FG_SUCCESS;
    }
    if (!control) {
        LowError(p->camera ? "Error in GetCameraControlProperties(): No cam_control specified."
                           : "Error in GetVideoProcAmpProperties(): No chip_control specified.");
        return FG_SUCCESS;
    }
    int32_t value = 0, flags = 0;
    if (FAILED(control.Get(p->number, &value, &flags)))
        return FG_SUCCESS;
    if (p->on_off)
        answer->push_back(fg::Text(value ? "on" : "off"));
    else if (flags & Property_Flags_Auto)
        answer->push_back(fg::Text("auto"));
    else
        answer->push_back(fg::Int(value));
    return FG_SUCCESS;
}

} // namespace directshow

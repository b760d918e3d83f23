#include "device_parameters.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "capture_graph.h"
#include "low_error.h"

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

Vcpar Integer(int32_t value)
{
    Vcpar v{};
    v.par.l = value;
    v.type = VPAR_INT;
    return v;
}

Vcpar Text(const char* text)
{
    Vcpar v{};
    v.par.s = text;
    v.type = VPAR_STRING;
    return v;
}

// The value and flags `value` asks for: 5325 or 5326 when it is not one.
FGstatus ParseValue(const DeviceProperty& p, const Vcpar& value, bool* automatic, int32_t* number)
{
    *automatic = false;
    if (p.on_off) {
        if (value.type != VPAR_STRING)
            return FG_ERR_PARAM_TYPE;
        if (strcasecmp(value.par.s, "on") != 0 && strcasecmp(value.par.s, "off") != 0)
            return FG_ERR_PARAM_VALUE;
        *number = strcasecmp(value.par.s, "on") == 0 ? 1 : 0;
        return FG_SUCCESS;
    }
    if (value.type == VPAR_INT) {
        *number = value.par.l;
        return FG_SUCCESS;
    }
    if (value.type != VPAR_STRING)
        return FG_ERR_PARAM_TYPE;
    if (strcasecmp(value.par.s, "auto") != 0)
        return FG_ERR_PARAM_VALUE;
    *automatic = true;
    return FG_SUCCESS;
}

} // namespace

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
            *answer = {Text("on"), Text("off"), Text(def ? "on" : "off")};
            return FG_SUCCESS;
        }
        *answer = {Integer(min), Integer(max), Integer(step), Integer(def)};
        if (caps & Property_Flags_Auto)
            answer->push_back(Text("auto"));
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
        answer->push_back(Text(value ? "on" : "off"));
    else if (flags & Property_Flags_Auto)
        answer->push_back(Text("auto"));
    else
        answer->push_back(Integer(value));
    return FG_SUCCESS;
}

} // namespace directshow

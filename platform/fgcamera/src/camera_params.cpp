// Parameters of a simulated camera: format, window, features, trigger and
// stored settings.
#include "bus.h"

namespace fgcam {

namespace {

constexpr Duration kOnePushTime = std::chrono::milliseconds(100);
constexpr uint32_t kOnePushRunning = 0x80000000u;
constexpr uint32_t kTriggerFields = FGTRIG_PARAMETER_MASK | (0xFu << FGTRIG_MODE_SHIFT) |
                                    (7u << FGTRIG_SOURCE_SHIFT) | (1u << FGTRIG_POLARITY_SHIFT) |
                                    (1u << FGTRIG_ON_SHIFT);

FGPINFO Range(uint32_t current, uint32_t min, uint32_t max, uint32_t unit)
{
    return {current, min, max, unit, FGPS_NONE, 0, 0};
}

bool IsFeatureId(uint16_t id)
{
    return (id >= FGP_BRIGHTNESS && id <= FGP_TEMPERATURE) || id == FGP_TRIGGERDLY ||
           (id >= FGP_ZOOM && id <= FGP_OPTICALFILTER);
}

// `code` as the camera writes it in the chosen notation; false when format 7
// has no FireGrab notation.
bool Notation(uint32_t code, bool firegrab, uint32_t* written)
{
    if (!firegrab) {
        *written = code;
        return true;
    }
    Geometry geometry{};
    uint32_t resolution = 0;
    if (!StandardMode(First(code), Second(code), &geometry) ||
        !ResolutionOf(geometry.width, geometry.height, &resolution))
        return false;
    *written = Code(resolution, geometry.coding, Third(code));
    return true;
}

// Whether the offered `code` answers the request; format 7 has no rate.
bool Matches(uint32_t code, uint32_t request, bool firegrab)
{
    uint32_t written = 0;
    if (!Notation(code, firegrab, &written))
        return false;
    const bool rate_free = !firegrab && First(code) == 7;
    const auto same = [](uint32_t asked, uint32_t offered) {
        return asked == kAny || asked == offered;
    };
    return same(First(request), First(written)) && same(Second(request), Second(written)) &&
           (rate_free || same(Third(request), Third(written)));
}

uint32_t SelectFormat(Camera& camera, uint32_t value)
{
    camera.requests.push_back(value);
    const bool firegrab = !(value & kDcam);
    for (size_t i = 0; i < camera.config.formats.size(); ++i)
        if (Matches(camera.config.formats[i], value, firegrab)) {
            camera.format = i;
            camera.firegrab = firegrab;
            return FCE_NOERROR;
        }
    return FCE_NOTAVAILABLE;
}

uint32_t CurrentFormat(const Camera& camera)
{
    uint32_t written = 0;
    Notation(camera.Code(), camera.firegrab, &written);
    return camera.firegrab ? written & 0xFFFFFF : written;
}

uint32_t NextFormat(Camera& camera, uint32_t* value)
{
    while (camera.enum_next < camera.config.formats.size()) {
        uint32_t written = 0;
        if (Notation(camera.config.formats[camera.enum_next++], camera.enum_firegrab, &written)) {
            *value = written;
            return FCE_NOERROR;
        }
    }
    return FCE_NOTAVAILABLE;
}

// A window value of format 7 on the grid and inside the largest frame.
uint32_t SetWindow(Bus& bus, Camera& camera, uint16_t id, uint32_t value)
{
    const fgsim::Format7Config& f7 = camera.config.format7;
    if (!camera.InFormat7()) {
        uint32_t current = 0;
        GetParameter(bus, camera, id, &current);
        return id != FGP_PACKETSIZE && value == current ? FCE_NOERROR : FCE_NOTAVAILABLE;
    }
    const auto fits = [](uint32_t v, uint32_t unit, uint32_t other, uint32_t limit) {
        return v % unit == 0 && uint64_t(v) + other <= limit;
    };
    switch (id) {
    case FGP_XSIZE:
        if (value == 0 || !fits(value, f7.unit_x, camera.f7_x, f7.max_width))
            return FCE_BADPARAMETER;
        camera.f7_width = value;
        return FCE_NOERROR;
    case FGP_YSIZE:
        if (value == 0 || !fits(value, f7.unit_y, camera.f7_y, f7.max_height))
            return FCE_BADPARAMETER;
        camera.f7_height = value;
        return FCE_NOERROR;
    case FGP_XPOSITION:
        if (!fits(value, f7.unit_x, camera.f7_width, f7.max_width))
            return FCE_BADPARAMETER;
        camera.f7_x = value;
        return FCE_NOERROR;
    case FGP_YPOSITION:
        if (!fits(value, f7.unit_y, camera.f7_height, f7.max_height))
            return FCE_BADPARAMETER;
        camera.f7_y = value;
        return FCE_NOERROR;
    }
    if (value < f7.packet_min || value > f7.packet_max || value % f7.packet_unit != 0)
        return FCE_BADPARAMETER;
    camera.f7_packet = value;
    return FCE_NOERROR;
}

void WindowInfo(const Camera& camera, uint16_t id, FGPINFO* info)
{
    const fgsim::Format7Config& f7 = camera.config.format7;
    const bool f7_mode = camera.InFormat7();
    switch (id) {
    case FGP_XSIZE:
        if (f7_mode)
            *info = Range(camera.f7_width, f7.unit_x, f7.max_width - camera.f7_x, f7.unit_x);
        return;
    case FGP_YSIZE:
        if (f7_mode)
            *info = Range(camera.f7_height, f7.unit_y, f7.max_height - camera.f7_y, f7.unit_y);
        return;
    case FGP_XPOSITION:
        if (f7_mode)
            *info = Range(camera.f7_x, 0, f7.max_width - camera.f7_width, f7.unit_x);
        return;
    case FGP_YPOSITION:
        if (f7_mode)
            *info = Range(camera.f7_y, 0, f7.max_height - camera.f7_height, f7.unit_y);
        return;
    case FGP_PACKETSIZE:
        if (f7_mode)
            *info = Range(camera.f7_packet, f7.packet_min, f7.packet_max, f7.packet_unit);
        return;
    }
}

// Mode and source must be offered when the trigger is on or they are not 0.
uint32_t SetTrigger(Camera& camera, uint32_t value)
{
    if (value & ~kTriggerFields)
        return FCE_BADPARAMETER;
    const uint32_t caps = camera.config.trigger_caps;
    const bool on = (value >> FGTRIG_ON_SHIFT) & 1;
    const uint32_t mode = (value >> FGTRIG_MODE_SHIFT) & 0xF;
    const uint32_t source = (value >> FGTRIG_SOURCE_SHIFT) & 7;
    if ((on && !(caps & FGPT_CANONOFF)) ||
        (((value >> FGTRIG_POLARITY_SHIFT) & 1) && !(caps & FGPT_CANPOLARITY)) ||
        ((on || mode) && !(camera.config.trigger_modes & (1u << (15 - mode)))) ||
        ((on || source) && !(caps & (1u << (14 - source)))))
        return FCE_NOTAVAILABLE;
    camera.trigger = value;
    return FCE_NOERROR;
}

bool TriggerOn(const Camera& camera) { return (camera.trigger >> FGTRIG_ON_SHIFT) & 1; }

uint32_t SetFeature(const Bus& bus, Feature& feature, uint32_t value)
{
    const uint32_t flags = feature.config.flags;
    switch (value) {
    case PVAL_OFF:
        if (!(flags & FGPF_CANOFF))
            return FCE_NOTAVAILABLE;
        feature.mode = Feature::Mode::Off;
        return FCE_NOERROR;
    case PVAL_AUTO:
        if (!(flags & FGPF_CANAUTO))
            return FCE_NOTAVAILABLE;
        feature.mode = Feature::Mode::Auto;
        return FCE_NOERROR;
    case PVAL_ONEPUSH:
        if (!(flags & FGPF_CANONEPUSH))
            return FCE_NOTAVAILABLE;
        feature.mode = Feature::Mode::Manual;
        feature.one_push_end = bus.Now() + kOnePushTime;
        return FCE_NOERROR;
    }
    if (value < feature.config.min || value > feature.config.max)
        return FCE_BADPARAMETER;
    feature.mode = Feature::Mode::Manual;
    feature.value = value;
    return FCE_NOERROR;
}

uint32_t FeatureValue(const Bus& bus, const Feature& feature)
{
    switch (feature.mode) {
    case Feature::Mode::Off:
        return PVAL_OFF;
    case Feature::Mode::Auto:
        return PVAL_AUTO;
    case Feature::Mode::Manual:
        break;
    }
    return feature.value | (bus.Now() < feature.one_push_end ? kOnePushRunning : 0);
}

bool IsWindow(uint16_t id) { return id >= FGP_XSIZE && id <= FGP_PACKETSIZE; }

} // namespace

uint32_t SetParameter(Bus& bus, Camera& camera, uint16_t id, uint32_t value)
{
    const bool transfer = id == FGP_IMAGEFORMAT || IsWindow(id) ||
                          (camera.settings.count(id) && camera.settings.at(id).transfer);
    if (transfer && camera.capture_open)
        return FCE_BUSY;
    switch (id) {
    case FGP_IMAGEFORMAT:
        return SelectFormat(camera, value);
    case FGP_ENUMIMAGEFORMAT:
        camera.enum_next = 0;
        camera.enum_firegrab = !(value & kDcam);
        return FCE_NOERROR;
    case FGP_TRIGGER:
        return SetTrigger(camera, value);
    case FGP_DO_FASTTRIGGER:
        if (!camera.capture_open || !camera.started || !TriggerOn(camera))
            return FCE_WRONGSTATE;
        Trigger(bus, camera);
        return FCE_NOERROR;
    case FGP_DO_BUSTRIGGER:
        for (Camera& other : bus.cameras)
            if (other.connected && other.capture_open && other.started && TriggerOn(other))
                Trigger(bus, other);
        return FCE_NOERROR;
    case FGP_DORESET:
        ResetFeatures(camera);
        return FCE_NOERROR;
    }
    if (IsWindow(id))
        return SetWindow(bus, camera, id, value);
    if (const auto it = camera.settings.find(id); it != camera.settings.end()) {
        if (value < it->second.min || value > it->second.max)
            return FCE_BADPARAMETER;
        it->second.value = value;
        return FCE_NOERROR;
    }
    if (Feature* feature = camera.FindFeature(id))
        return SetFeature(bus, *feature, value);
    return IsFeatureId(id) ? FCE_NOTAVAILABLE : FCE_BADPARAMETER;
}

uint32_t GetParameter(Bus& bus, Camera& camera, uint16_t id, uint32_t* value)
{
    if (const auto it = camera.reported.find(id); it != camera.reported.end()) {
        *value = it->second;
        return FCE_NOERROR;
    }
    const Geometry frame = camera.Frame();
    switch (id) {
    case FGP_IMAGEFORMAT:
        *value = CurrentFormat(camera);
        return FCE_NOERROR;
    case FGP_ENUMIMAGEFORMAT:
        return NextFormat(camera, value);
    case FGP_TRIGGER:
        *value = camera.trigger;
        return FCE_NOERROR;
    case FGP_XSIZE:
        *value = frame.width;
        return FCE_NOERROR;
    case FGP_YSIZE:
        *value = frame.height;
        return FCE_NOERROR;
    case FGP_XPOSITION:
        *value = camera.InFormat7() ? camera.f7_x : 0;
        return FCE_NOERROR;
    case FGP_YPOSITION:
        *value = camera.InFormat7() ? camera.f7_y : 0;
        return FCE_NOERROR;
    case FGP_PACKETSIZE:
        *value = camera.PacketSize();
        return FCE_NOERROR;
    case FGP_FRAMEMEMORYSIZE:
        *value = uint32_t(FrameBytes(frame));
        return FCE_NOERROR;
    case FGP_COLORFORMAT:
        *value = frame.coding;
        return FCE_NOERROR;
    }
    if (const auto it = camera.settings.find(id); it != camera.settings.end()) {
        *value = it->second.value;
        return FCE_NOERROR;
    }
    if (const Feature* feature = camera.FindFeature(id)) {
        *value = FeatureValue(bus, *feature);
        return FCE_NOERROR;
    }
    return IsFeatureId(id) ? FCE_NOTAVAILABLE : FCE_BADPARAMETER;
}

uint32_t GetParameterInfo(Bus& bus, Camera& camera, uint16_t id, FGPINFO* info)
{
    *info = {};
    if (id == FGP_TRIGGER) {
        *info = {camera.trigger,
                 0,
                 0,
                 0,
                 FGPS_TRIGGER,
                 camera.config.trigger_caps | (TriggerOn(camera) ? uint32_t(FGPT_ISON) : 0u),
                 camera.config.trigger_modes | ((camera.trigger & FGTRIG_PARAMETER_MASK) << 20)};
    } else if (const Feature* feature = camera.FindFeature(id)) {
        *info = {FeatureValue(bus, *feature),
                 feature->config.min,
                 feature->config.max,
                 1,
                 FGPS_FEATURE,
                 feature->config.flags,
                 0};
    } else if (const auto it = camera.settings.find(id); it != camera.settings.end()) {
        *info = Range(it->second.value, it->second.min, it->second.max, 1);
    } else if (IsWindow(id)) {
        uint32_t current = 0;
        GetParameter(bus, camera, id, &current);
        *info = Range(current, current, current, 1);
        WindowInfo(camera, id, info);
    } else {
        return IsFeatureId(id) ? FCE_NOTAVAILABLE : FCE_BADPARAMETER;
    }
    if (const auto it = camera.reported.find(id); it != camera.reported.end())
        info->IsValue = it->second;
    return FCE_NOERROR;
}

} // namespace fgcam

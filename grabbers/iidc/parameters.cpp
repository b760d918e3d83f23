// One table of the parameters, in their published order, with what setting
// and getting each does.
#include "parameters.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "camera_type.h"
#include "grab.h"
#include "low_error.h"
#include "open.h"
#include "restart.h"
#include <fgint/answer.h>
#include <fgint/fghelpers.h>
#include <fgint/values.h>
#include <iidc/colour_conversion.h>

namespace iidc {

using fg::Answer;

namespace {

constexpr int32_t kMaxGrabTimeout = 1000000;
constexpr int kMaxFormats = 256;

struct Param;
using SetFn = FGstatus (*)(IIDCInstance&, FGInstance*, const Param&, const Vcpar*);
using GetFn = FGstatus (*)(IIDCInstance&, FGInstance*, const Param&, Answer&);

struct Param {
    const char* name;
    SetFn set;
    GetFn get;
    uint16_t id = 0;            // camera parameter number, or trigger field
    const char* text = nullptr; // printed when the camera refuses
    const char* call = nullptr; // the camera call named with it
};

// ---- Values -----------------------------------------------------------

// One of two texts as true (the first) or false; FG_ERR_PARAM_VALUE for others.
FGstatus ChoiceOf(const Vcpar* value, const char* yes, const char* no, bool* out)
{
    const char* text = nullptr;
    const FGstatus status = fg::TextOf(value, &text);
    if (status != FG_SUCCESS)
        return status;
    if (std::strcmp(text, yes) != 0 && std::strcmp(text, no) != 0)
        return FG_ERR_PARAM_VALUE;
    *out = std::strcmp(text, yes) == 0;
    return FG_SUCCESS;
}

// A number that a text stands for.
struct Word {
    const char* text;
    uint32_t value;
};

constexpr Word kTruth[] = {{"false", 0}, {"true", 1}};

// The modes a camera feature may take besides a value, in the order its range
// lists them, with the capability that offers each.
struct FeatureMode {
    const char* text;
    uint32_t value;
    uint32_t capability;
};

constexpr FeatureMode kFeatureModes[] = {{"off", PVAL_OFF, FGPF_CANOFF},
                                         {"auto", PVAL_AUTO, FGPF_CANAUTO},
                                         {"one_push", PVAL_ONEPUSH, FGPF_CANONEPUSH}};

// An integer, or a text of `words` for its number; another text is `unknown`.
template <typename W, std::size_t N>
FGstatus NumberOrWord(const Vcpar* value, const W (&words)[N], FGstatus unknown, int32_t* out)
{
    if (!value || value->type != VPAR_STRING)
        return fg::IntegerOf(value, out);
    const char* text = nullptr;
    if (const FGstatus type = fg::TextOf(value, &text); type != FG_SUCCESS)
        return type;
    for (const W& word : words)
        if (std::strcmp(text, word.text) == 0) {
            *out = int32_t(word.value);
            return FG_SUCCESS;
        }
    return unknown;
}

// The mode a feature value stands for, or null for a value.
const FeatureMode* ModeOf(uint32_t raw)
{
    for (const FeatureMode& mode : kFeatureModes)
        if (raw == mode.value)
            return &mode;
    return nullptr;
}

// A feature value as the camera answers it: the text of its mode, else the
// value without bit 31.
void FeatureValue(uint32_t raw, Answer& answer)
{
    if (const FeatureMode* mode = ModeOf(raw))
        answer.Text(mode->text);
    else
        answer.Int(int32_t(raw & 0x7FFFFFFFu));
}

void Ints(Answer& answer, std::initializer_list<int32_t> values)
{
    for (const int32_t value : values)
        answer.Int(value);
}

// ---- Format, window and part --------------------------------------------

// The part becomes the full image at 0, 0, in the instance and the host's fields.
void FullPart(IIDCInstance& r, FGInstance* fginst)
{
    r.part.width = r.full_width / r.part.x_step;
    r.part.height = r.full_height / r.part.y_step;
    r.part.start_column = r.part.start_row = 0;
    fginst->image_width = r.part.width;
    fginst->image_height = r.part.height;
    fginst->start_column = fginst->start_row = 0;
}

FGstatus SetCameraType(IIDCInstance& r, FGInstance* fginst, const Param&, const Vcpar* value)
{
    const char* text = nullptr;
    const FGstatus type = fg::TextOf(value, &text);
    if (type != FG_SUCCESS)
        return type;
    const uint32_t old = r.format;
    return Restart(r, [&]() -> FGstatus {
        uint32_t format = 0;
        FGstatus status = SelectCameraType(r, text, fginst->horizontal_resolution,
                                           fginst->vertical_resolution, &format);
        if (status == FG_SUCCESS && !CameraOk(r.camera->SetParameter(FGP_IMAGEFORMAT, format),
                                              "Could not map image format for new camera type",
                                              "CFGCamera::SetParameter(FGP_IMAGEFORMAT)"))
            status = FG_ERR_CAMERA_TYPE;
        if (status != FG_SUCCESS)
            CameraOk(r.camera->SetParameter(FGP_IMAGEFORMAT, old), "Could not set old image format",
                     "CFGCamera::SetParameter(FGP_IMAGEFORMAT)");
        const FGstatus read = ReadImageFormat(r, fginst);
        FullPart(r, fginst);
        fg_copy_text(fginst->camera_type, sizeof fginst->camera_type,
                     FormatText(r.format, false).c_str());
        return status != FG_SUCCESS ? status : read;
    });
}

FGstatus GetCameraType(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    answer.Text(FormatText(r.format, true));
    return FG_SUCCESS;
}

int32_t& WindowField(IIDCInstance& r, uint16_t id)
{
    switch (id) {
    case FGP_XPOSITION:
        return r.x_position;
    case FGP_YPOSITION:
        return r.y_position;
    case FGP_XSIZE:
        return r.full_width;
    case FGP_YSIZE:
        return r.full_height;
    }
    return r.packet_size;
}

// Offsets, resolutions and packet size: a new value restarts the camera.
FGstatus SetWindow(IIDCInstance& r, FGInstance* fginst, const Param& p, const Vcpar* value)
{
    int32_t v = 0;
    const FGstatus type = fg::IntegerOf(value, &v);
    if (type != FG_SUCCESS)
        return type;
    if (v == WindowField(r, p.id))
        return FG_SUCCESS;
    return Restart(r, [&]() -> FGstatus {
        if (!CameraOk(r.camera->SetParameter(p.id, uint32_t(v)), p.text, p.call))
            return FG_ERR_PARAM_VALUE;
        if (p.id != FGP_XSIZE && p.id != FGP_YSIZE) {
            WindowField(r, p.id) = v;
            return FG_SUCCESS;
        }
        // The camera may have made another size: the part follows what it reports.
        const FGstatus read = ReadImageFormat(r, fginst);
        FullPart(r, fginst);
        return read;
    });
}

FGstatus GetWindow(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    answer.Int(WindowField(r, p.id));
    return FG_SUCCESS;
}

// One axis of the image part, as the instance and the host's fields hold it:
// the columns (id 0) or the rows (id 1).
struct PartAxis {
    int32_t full;
    int32_t step;
    int32_t& start;
    int32_t& size;
    int32_t& host_start;
    int32_t& host_size;
};

PartAxis AxisOf(IIDCInstance& r, FGInstance* fginst, uint16_t id)
{
    if (id == 0)
        return {r.full_width, r.part.x_step,        r.part.start_column,
                r.part.width, fginst->start_column, fginst->image_width};
    return {r.full_height, r.part.y_step,     r.part.start_row,
            r.part.height, fginst->start_row, fginst->image_height};
}

// Whether `size` pixels taken every `step` from `start` lie inside the frame.
bool Fits(const PartAxis& axis, int32_t start, int32_t size)
{
    return start >= 0 && size >= 0 && int64_t(start) + int64_t(size) * axis.step <= axis.full;
}

// image_width (id 0) and image_height (id 1): 0 takes the full size.
FGstatus SetPartSize(IIDCInstance& r, FGInstance* fginst, const Param& p, const Vcpar* value)
{
    int32_t size = 0;
    if (const FGstatus type = fg::IntegerOf(value, &size); type != FG_SUCCESS)
        return type;
    const PartAxis axis = AxisOf(r, fginst, p.id);
    if (size == 0)
        size = axis.full / axis.step;
    if (!Fits(axis, axis.start, size))
        return FG_ERR_PARAM_VALUE;
    axis.size = axis.host_size = size;
    return FG_SUCCESS;
}

// start_column (id 0) and start_row (id 1).
FGstatus SetPartStart(IIDCInstance& r, FGInstance* fginst, const Param& p, const Vcpar* value)
{
    int32_t start = 0;
    if (const FGstatus type = fg::IntegerOf(value, &start); type != FG_SUCCESS)
        return type;
    const PartAxis axis = AxisOf(r, fginst, p.id);
    if (!Fits(axis, start, axis.size))
        return FG_ERR_PARAM_VALUE;
    axis.start = axis.host_start = start;
    return FG_SUCCESS;
}

FGstatus GetPartSize(IIDCInstance& r, FGInstance* fginst, const Param& p, Answer& answer)
{
    answer.Int(AxisOf(r, fginst, p.id).size);
    return FG_SUCCESS;
}

FGstatus GetPartStart(IIDCInstance& r, FGInstance* fginst, const Param& p, Answer& answer)
{
    answer.Int(AxisOf(r, fginst, p.id).start);
    return FG_SUCCESS;
}

FGstatus GetPartRange(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    if (p.id == 0)
        Ints(answer, {1, r.full_width, 1, r.part.width});
    else
        Ints(answer, {1, r.full_height, 1, r.part.height});
    return FG_SUCCESS;
}

// ---- Camera features ------------------------------------------------------

FGstatus SetFeature(IIDCInstance& r, FGInstance*, const Param& p, const Vcpar* value)
{
    int32_t v = 0;
    if (const FGstatus status = NumberOrWord(value, kFeatureModes, FG_ERR_PARAM_VALUE, &v);
        status != FG_SUCCESS)
        return status;
    return CameraOk(r.camera->SetParameter(p.id, uint32_t(v)),
                    "Parameter not supported or out of range", p.call)
               ? FG_SUCCESS
               : FG_ERR_SET_FAILED;
}

FGstatus GetFeature(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    uint32_t raw = 0;
    if (r.camera->GetParameter(p.id, &raw) != FCE_NOERROR)
        return FG_ERR_GET_FAILED;
    FeatureValue(raw, answer);
    return FG_SUCCESS;
}

// Minimum, maximum, step, current; then the modes the feature offers.
FGstatus GetInfoRange(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    FGPINFO info{};
    if (r.camera->GetParameterInfo(p.id, &info) != FCE_NOERROR)
        return FG_ERR_GET_FAILED;
    Ints(answer, {int32_t(info.MinValue), int32_t(info.MaxValue), int32_t(info.Unit)});
    answer.Int(ModeOf(info.IsValue) ? int32_t(info.IsValue) : int32_t(info.IsValue & 0x7FFFFFFFu));
    if (info.SpecificType == FGPS_FEATURE)
        for (const FeatureMode& mode : kFeatureModes)
            if (info.Specific & mode.capability)
                answer.Text(mode.text);
    return FG_SUCCESS;
}

// ---- Trigger ----------------------------------------------------------------

struct TriggerField {
    uint32_t shift;
    int32_t max;
};

// external_trigger, trigger_source, trigger_polarity, trigger_mode, trigger_parameter.
constexpr TriggerField kTriggerFields[] = {
    {FGTRIG_ON_SHIFT, 1},    {FGTRIG_SOURCE_SHIFT, 7},   {FGTRIG_POLARITY_SHIFT, 1},
    {FGTRIG_MODE_SHIFT, 15}, {0, FGTRIG_PARAMETER_MASK},
};

FGstatus SetTriggerField(IIDCInstance& r, FGInstance*, const Param& p, const Vcpar* value)
{
    int32_t v = 0;
    if (const FGstatus status = NumberOrWord(value, kTruth, FG_ERR_PARAM_TYPE, &v);
        status != FG_SUCCESS)
        return status;
    const TriggerField& field = kTriggerFields[p.id];
    if (v < 0 || v > field.max)
        return FG_ERR_PARAM_VALUE;
    const uint32_t word = (r.trigger & ~(uint32_t(field.max) << field.shift)) | uint32_t(v)
                                                                                    << field.shift;
    if (!CameraOk(r.camera->SetParameter(FGP_TRIGGER, word),
                  "Could not set trigger value or value not valid",
                  "CFGCamera::SetParameter(FGP_TRIGGER)"))
        return FG_ERR_SET_FAILED;
    r.trigger = word;
    return FG_SUCCESS;
}

FGstatus GetTriggerField(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    const TriggerField& field = kTriggerFields[p.id];
    answer.Int(int32_t(r.trigger >> field.shift) & field.max);
    return FG_SUCCESS;
}

// The value lists of the trigger fields (same ids), from the trigger's info.
FGstatus GetTriggerValues(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    FGPINFO info{};
    if (r.camera->GetParameterInfo(FGP_TRIGGER, &info) != FCE_NOERROR)
        return FG_ERR_GET_FAILED;
    const uint32_t caps = info.Specific;
    std::vector<int32_t> list;
    switch (p.id) {
    case 0:
        if (caps & FGPT_CANONOFF)
            list = {0, 1, 1, int32_t(caps >> 2 & 1)};
        break;
    case 1:
        for (int32_t i = 0; i < 8; ++i)
            if (caps & (1u << (14 - i)))
                list.push_back(i);
        break;
    case 2:
        if (caps & FGPT_CANPOLARITY)
            list = {0, 1};
        break;
    case 3:
        for (int32_t i = 0; i < 16; ++i)
            if (info.SpecificEx & (1u << (15 - i)))
                list.push_back(i);
        break;
    case 4:
        if (caps & FGPT_CANONOFF)
            list = {0, FGTRIG_PARAMETER_MASK, 1, int32_t(info.SpecificEx >> 20)};
        break;
    }
    if (list.empty())
        list = {0, 0, 0, 0};
    for (const int32_t value : list)
        answer.Int(value);
    return FG_SUCCESS;
}

// ---- Grab settings, registers, actions --------------------------------------

FGstatus SetGrabTimeout(IIDCInstance& r, FGInstance*, const Param&, const Vcpar* value)
{
    return fg::IntegerIn(value, 0, kMaxGrabTimeout, &r.grab_timeout);
}

FGstatus GetGrabTimeout(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    answer.Int(r.grab_timeout);
    return FG_SUCCESS;
}

FGstatus GetGrabTimeoutRange(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    Ints(answer, {0, kMaxGrabTimeout, 1, r.grab_timeout});
    return FG_SUCCESS;
}

FGstatus SetBurstCount(IIDCInstance& r, FGInstance*, const Param& p, const Vcpar* value)
{
    int32_t count = 0;
    const FGstatus type = fg::IntegerOf(value, &count);
    if (type != FG_SUCCESS)
        return type;
    return Restart(r, [&] {
        return CameraOk(r.camera->SetParameter(FGP_BURSTCOUNT, uint32_t(count)), p.text, p.call)
                   ? FG_SUCCESS
                   : FG_ERR_PARAM_VALUE;
    });
}

FGstatus SetRegisterAddress(IIDCInstance& r, FGInstance*, const Param&, const Vcpar* value)
{
    int32_t address = 0;
    const FGstatus type = fg::IntegerOf(value, &address);
    if (type == FG_SUCCESS)
        r.register_address = uint32_t(address);
    return type;
}

FGstatus GetRegisterAddress(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    answer.Int(int32_t(r.register_address));
    return FG_SUCCESS;
}

FGstatus SetRegisterValue(IIDCInstance& r, FGInstance*, const Param&, const Vcpar* value)
{
    int32_t v = 0;
    const FGstatus type = fg::IntegerOf(value, &v);
    if (type != FG_SUCCESS)
        return type;
    return CameraOk(r.camera->WriteRegister(r.register_address, uint32_t(v)),
                    "Could not write value to camera register", "CFGCamera::WriteRegister")
               ? FG_SUCCESS
               : FG_ERR_PARAM_VALUE;
}

FGstatus GetRegisterValue(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    uint32_t v = 0;
    if (!CameraOk(r.camera->ReadRegister(r.register_address, &v), "Could not read camera register",
                  "CFGCamera::ReadRegister"))
        return FG_ERR_GET_FAILED;
    answer.Int(int32_t(v));
    return FG_SUCCESS;
}

FGstatus SetSwapBytes(IIDCInstance& r, FGInstance*, const Param&, const Vcpar* value)
{
    return ChoiceOf(value, "true", "false", &r.swap_bytes);
}

FGstatus GetSwapBytes(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    answer.Text(r.swap_bytes ? "true" : "false");
    return FG_SUCCESS;
}

FGstatus SetStartAfter(IIDCInstance& r, FGInstance*, const Param&, const Vcpar* value)
{
    return ChoiceOf(value, "enable", "disable", &r.start_async_after_grab_async);
}

FGstatus GetStartAfter(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    answer.Text(r.start_async_after_grab_async ? "enable" : "disable");
    return FG_SUCCESS;
}

FGstatus SetBits(IIDCInstance& r, FGInstance* fginst, const Param&, const Vcpar* value)
{
    int32_t bits = 0;
    const FGstatus status = fg::IntegerIn(value, 8, 16, &bits);
    if (status == FG_SUCCESS)
        r.bits = fginst->bits_per_channel = bits;
    return status;
}

FGstatus SetColourSpace(IIDCInstance& r, FGInstance* fginst, const Param&, const Vcpar* value)
{
    const char* text = nullptr;
    const FGstatus type = fg::TextOf(value, &text);
    if (type != FG_SUCCESS)
        return type;
    static const char* const kNames[] = {"gray", "rgb", "yuv"};
    for (int32_t space = kGray; space <= kYuv; ++space)
        if (std::strcmp(text, kNames[space]) == 0) {
            fg_copy_text(fginst->color_space, sizeof fginst->color_space, text);
            r.color_space = space;
            r.channels = fginst->num_channels = space == kGray ? 1 : 3;
            return FG_SUCCESS;
        }
    return FG_ERR_PARAM_VALUE;
}

FGstatus DoTrigger(IIDCInstance& r, FGInstance*, const Param& p, const Vcpar*)
{
    return CameraOk(r.camera->StartDevice(), p.text, p.call) ? FG_SUCCESS : FG_ERR_PARAM_VALUE;
}

// Fast trigger, bus trigger and reset: parameter `id` set to 0.
FGstatus DoCameraAction(IIDCInstance& r, FGInstance*, const Param& p, const Vcpar*)
{
    const uint32_t code = r.camera->SetParameter(p.id, 0);
    if (code == FCE_NOERROR)
        return FG_SUCCESS;
    if (p.text)
        LowError(p.text, p.call, code);
    return FG_ERR_PARAM_VALUE;
}

FGstatus DoAbortGrab(IIDCInstance& r, FGInstance*, const Param&, const Vcpar*)
{
    AbortGrab(r);
    return FG_SUCCESS;
}

// ---- Answers ----------------------------------------------------------------

FGstatus GetRevision(IIDCInstance&, FGInstance*, const Param&, Answer& answer)
{
    answer.Text("2.0");
    return FG_SUCCESS;
}

// camera_vendor (id 0) and camera_model (id 1).
FGstatus GetDeviceName(IIDCInstance& r, FGInstance*, const Param& p, Answer& answer)
{
    char model[128] = {};
    char vendor[128] = {};
    if (r.camera->GetDeviceName(model, sizeof model, vendor) != FCE_NOERROR)
        return FG_ERR_GET_FAILED;
    answer.Text(p.id == 0 ? vendor : model);
    return FG_SUCCESS;
}

FGstatus GetCameraTypeValues(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    r.camera->SetParameter(FGP_ENUMIMAGEFORMAT, kDcamNotation);
    uint32_t format = 0;
    for (int i = 0;
         i < kMaxFormats && r.camera->GetParameter(FGP_ENUMIMAGEFORMAT, &format) == FCE_NOERROR;
         ++i)
        answer.Text(FormatText(format | kDcamNotation, false));
    return FG_SUCCESS;
}

FGstatus GetFrameRate(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    double rate = 0;
    const FGstatus status = FrameRate(r, &rate);
    if (status == FG_SUCCESS)
        answer.Real(rate);
    return status;
}

// swap_bytes_values (id 0) and start_async_after_grab_async_values (id 1).
FGstatus GetChoices(IIDCInstance&, FGInstance*, const Param& p, Answer& answer)
{
    answer.Text(p.id == 0 ? "true" : "enable");
    answer.Text(p.id == 0 ? "false" : "disable");
    return FG_SUCCESS;
}

FGstatus GetImageAvailable(IIDCInstance& r, FGInstance*, const Param&, Answer& answer)
{
    answer.Int(r.camera->GetFrame(nullptr, 0) == FCE_NOERROR ? 1 : 0);
    return FG_SUCCESS;
}

// A camera feature: its value, or "off", "auto", "one_push".
#define FEATURE(name, fgp)                                                                         \
    {                                                                                              \
        {name, SetFeature, GetFeature, fgp, nullptr, "CFGCamera::SetParameter(" #fgp ")"},         \
            GetInfoRange                                                                           \
    }
// An offset, resolution or packet size the camera is restarted for.
#define WINDOW(name, fgp, text)                                                                    \
    {                                                                                              \
        {name, SetWindow, GetWindow, fgp, text, "CFGCamera::SetParameter(" #fgp ")"}, GetInfoRange \
    }

// A setting listed once: it gives its parameter and, with `range`, the answer
// "<name><suffix>" with its values, in the second half of the list.
struct Setting {
    Param param;
    GetFn range = nullptr;
    const char* suffix = "_range";
};

constexpr Setting kSettings[] = {
    {{"camera_type", SetCameraType, GetCameraType}},
    WINDOW("horizontal_offset", FGP_XPOSITION, "Could not set x position in camera"),
    WINDOW("vertical_offset", FGP_YPOSITION, "Could not set y position in camera"),
    WINDOW("horizontal_resolution", FGP_XSIZE, "Could not set x size in camera"),
    WINDOW("vertical_resolution", FGP_YSIZE, "Could not set y size in camera"),
    {{"image_width", SetPartSize, GetPartSize, 0}, GetPartRange},
    {{"image_height", SetPartSize, GetPartSize, 1}, GetPartRange},
    {{"start_column", SetPartStart, GetPartStart, 0}},
    {{"start_row", SetPartStart, GetPartStart, 1}},
    WINDOW("packet_size", FGP_PACKETSIZE, "Could not set packet size in camera"),
    FEATURE("brightness", FGP_BRIGHTNESS),
    FEATURE("exposure", FGP_AUTOEXPOSURE),
    FEATURE("sharpness", FGP_SHARPNESS),
    FEATURE("ub", FGP_WHITEBALCB),
    FEATURE("vr", FGP_WHITEBALCR),
    FEATURE("hue", FGP_HUE),
    FEATURE("saturation", FGP_SATURATION),
    FEATURE("gamma", FGP_GAMMA),
    FEATURE("shutter", FGP_SHUTTER),
    FEATURE("video_gain", FGP_GAIN),
    FEATURE("iris", FGP_IRIS),
    FEATURE("focus", FGP_FOCUS),
    FEATURE("temperature", FGP_TEMPERATURE),
    {{"external_trigger", SetTriggerField, GetTriggerField, 0}, GetTriggerValues, "_values"},
    {{"trigger_source", SetTriggerField, GetTriggerField, 1}, GetTriggerValues, "_values"},
    {{"trigger_polarity", SetTriggerField, GetTriggerField, 2}, GetTriggerValues, "_values"},
    {{"trigger_mode", SetTriggerField, GetTriggerField, 3}, GetTriggerValues, "_values"},
    {{"trigger_parameter", SetTriggerField, GetTriggerField, 4}, GetTriggerValues},
    FEATURE("trigger_delay", FGP_TRIGGERDLY),
    FEATURE("zoom", FGP_ZOOM),
    FEATURE("pan", FGP_PAN),
    FEATURE("tilt", FGP_TILT),
    FEATURE("optical_filter", FGP_OPTICALFILTER),
    {{"grab_timeout", SetGrabTimeout, GetGrabTimeout}, GetGrabTimeoutRange},
    {{"burst_count", SetBurstCount, GetFeature, FGP_BURSTCOUNT,
      "Could not set number of images transferred at once",
      "CFGCamera::SetParameter(FGP_BURSTCOUNT)"},
     GetInfoRange},
};

#undef FEATURE
#undef WINDOW

constexpr Param kActions[] = {
    {"register_address", SetRegisterAddress, GetRegisterAddress},
    {"register_value", SetRegisterValue, GetRegisterValue},
    {"swap_bytes", SetSwapBytes, GetSwapBytes},
    {"start_async_after_grab_async", SetStartAfter, GetStartAfter},
    {"bits_per_channel", SetBits, nullptr},
    {"color_space", SetColourSpace, nullptr},
    {"do_trigger", DoTrigger, nullptr, 0, "Could not trigger camera", "CFGCamera::StartDevice"},
    {"do_fasttrigger", DoCameraAction, nullptr, FGP_DO_FASTTRIGGER,
     "Could not trigger camera with fast trigger", "CFGCamera::SetParameter(FGP_DO_FASTTRIGGER)"},
    {"do_bustrigger", DoCameraAction, nullptr, FGP_DO_BUSTRIGGER},
    {"do_abort_grab", DoAbortGrab, nullptr},
    {"do_reset_camera", DoCameraAction, nullptr, FGP_DORESET, "Could not reset camera",
     "CFGCamera::SetParameter(FGP_DORESET)"},
    {"revision", nullptr, GetRevision},
    {"camera_vendor", nullptr, GetDeviceName, 0},
    {"camera_model", nullptr, GetDeviceName, 1},
    {"camera_type_values", nullptr, GetCameraTypeValues},
};

constexpr Param kLast[] = {
    {"frame_rate", nullptr, GetFrameRate},
    {"swap_bytes_values", nullptr, GetChoices, 0},
    {"start_async_after_grab_async_values", nullptr, GetChoices, 1},
    {"image_available", nullptr, GetImageAvailable},
};

constexpr std::size_t kRanges = std::count_if(std::begin(kSettings), std::end(kSettings),
                                              [](const Setting& s) { return s.range; });
static_assert(std::size(kSettings) + std::size(kActions) + kRanges + std::size(kLast) ==
                  kParameterCount,
              "the published parameter count");

// The parameters in their published order: the settings, then the answers,
// with a range after the others for each setting that has one.
const std::vector<Param>& Params()
{
    static std::string range_names[kRanges];
    static const std::vector<Param> params = [] {
        std::vector<Param> list;
        for (const Setting& s : kSettings)
            list.push_back(s.param);
        list.insert(list.end(), std::begin(kActions), std::end(kActions));
        std::string* name = range_names;
        for (const Setting& s : kSettings)
            if (s.range) {
                *name = std::string(s.param.name) + s.suffix;
                list.push_back({(name++)->c_str(), nullptr, s.range, s.param.id});
            }
        list.insert(list.end(), std::begin(kLast), std::end(kLast));
        return list;
    }();
    return params;
}

const Param* Find(const char* name)
{
    for (const Param& p : Params())
        if (strcasecmp(p.name, name) == 0)
            return &p;
    return nullptr;
}

} // namespace

const char* ParameterName(int index) { return Params()[index].name; }

FGstatus SetParam(IIDCInstance& r, FGInstance* fginst, const char* name, const Vcpar* values,
                  int32_t num)
{
    const Param* p = name ? Find(name) : nullptr;
    if (!p || !p->set) {
        if (r.extension.Loaded())
            return r.extension.SetParam(r.camera.get(), name, values, num);
        return FG_ERR_PARAM_UNKNOWN;
    }
    return p->set(r, fginst, *p, num > 0 ? values : nullptr);
}

FGstatus GetParam(IIDCInstance& r, FGInstance* fginst, const char* name, Vcpar* values,
                  int32_t* num)
{
    r.texts.clear();
    const Param* p = name ? Find(name) : nullptr;
    if (!p || !p->get) {
        if (r.extension.Loaded())
            return r.extension.GetParam(r.camera.get(), name, values, num);
        *num = 0;
        return FG_ERR_PARAM_UNKNOWN;
    }
    Answer answer(r.texts);
    const FGstatus status = p->get(r, fginst, *p, answer);
    return status == FG_SUCCESS ? answer.Commit(values, num) : status;
}

} // namespace iidc

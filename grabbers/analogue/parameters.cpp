#include "parameters.h"

#include <strings.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "board_access.h"
#include "device.h"
#include "grab.h"
#include "instance.h"
#include <fgint/answer.h>
#include <fgint/values.h>

namespace zephon {

namespace {

constexpr char kRevision[] = "2.2";
constexpr int32_t kGrabModeAsync = 1;

constexpr int kParameterCount = 33;

const char* const kNames[kParameterCount] = {"brightness",
                                             "brightness_range",
                                             "exposure",
                                             "exposure_range",
                                             "exposure_time",
                                             "exposure_time_delay",
                                             "focus",
                                             "focus_range",
                                             "gamma",
                                             "gamma_range",
                                             "grab_timeout",
                                             "hue",
                                             "hue_range",
                                             "iris",
                                             "iris_range",
                                             "revision",
                                             "saturation",
                                             "saturation_range",
                                             "shutter",
                                             "shutter_range",
                                             "start_async_after_grab_async",
                                             "trigger_signal",
                                             "trigger_source",
                                             "ub",
                                             "ub_range",
                                             "vr",
                                             "vr_range",
                                             "video_gain",
                                             "video_gain_range",
                                             "zoom",
                                             "zoom_range",
                                             "do_force_trigger",
                                             "do_abort_grab"};

struct Code {
    const char* word;
    int32_t code;
};

// Camera features of board type 50: item c holds the value, c + 1 and c + 2
// the range's upper and lower end.
constexpr Code kFeatures[] = {{"brightness", 5100}, {"exposure", 5104},   {"gamma", 5116},
                              {"shutter", 5120},    {"video_gain", 5124}, {"iris", 5128},
                              {"focus", 5132},      {"zoom", 5144},       {"ub", 5168},
                              {"vr", 5172},         {"saturation", 8192}, {"hue", 32768}};

constexpr Code kSignals[] = {
    {"rising", 12}, {"falling", 13}, {"low", 14}, {"high", 15}, {"default", DVL_DEFAULT}};

constexpr Code kSources[] = {
    {"none", 0},      {"default", DVL_DEFAULT},           {"hw_port_camera", 18}, {"hw_port0", 16},
    {"hw_port1", 17}, {"software", DVL_TRIGGER_SOFTWARE}, {"timer1", 1},          {"timer2", 2}};

constexpr Code kSwitch[] = {{"enable", 1}, {"disable", 0}};
constexpr Code kTruth[] = {{"true", 1}, {"false", 0}};

// The sources that "trigger_source" answers: the settable ones and hw_port2.
constexpr Code kSourceNames[] = {{"default", DVL_DEFAULT},
                                 {"hw_port_camera", 18},
                                 {"hw_port0", 16},
                                 {"hw_port1", 17},
                                 {"hw_port2", 24},
                                 {"software", DVL_TRIGGER_SOFTWARE},
                                 {"timer1", 1},
                                 {"timer2", 2},
                                 {"none", 0}};

// The code of the word `v` holds: FG_ERR_PARAM_TYPE for a value that is no
// text, FG_ERR_PARAM_VALUE for a word not in `codes`.
template <std::size_t N> FGstatus CodeOf(const Code (&codes)[N], const Vcpar& v, int32_t* code)
{
    const char* word = nullptr;
    if (const FGstatus status = fg::TextOf(&v, &word); status != FG_SUCCESS)
        return status;
    for (const Code& c : codes)
        if (std::strcmp(c.word, word) == 0) {
            *code = c.code;
            return FG_SUCCESS;
        }
    return FG_ERR_PARAM_VALUE;
}

template <std::size_t N> const char* WordOf(const Code (&codes)[N], int32_t code)
{
    for (const Code& c : codes)
        if (c.code == code)
            return c.word;
    return "unknown";
}

const Code* Feature(const char* name)
{
    for (const Code& c : kFeatures)
        if (strcasecmp(c.word, name) == 0)
            return &c;
    return nullptr;
}

bool Is(const char* name, const char* expected) { return strcasecmp(name, expected) == 0; }

int32_t Inquire(const ZephonInstance& r, int32_t item)
{
    return DvlDigInquire(r.digitizer, item, nullptr);
}

bool GrabInProgress(const ZephonInstance& r) { return Inquire(r, DVL_DIG_GRAB_IN_PROGRESS) != 0; }

FGstatus Control(const ZephonInstance& r, int32_t item, double value)
{
    DvlDigControl(r.digitizer, item, value);
    return LibraryOk() ? FG_SUCCESS : FG_ERR_SET_FAILED;
}

// An integer or a real, not negative and within int32_t (NaN is not), cut to an integer.
FGstatus Amount(const Vcpar& v, FGstatus string_status, int32_t* amount)
{
    if (v.type == VPAR_STRING)
        return string_status;
    const double value = v.type == VPAR_INT ? v.par.l : v.par.f;
    if (!(value >= 0 && value <= double(std::numeric_limits<int32_t>::max())))
        return FG_ERR_PARAM_VALUE;
    *amount = int32_t(value);
    return FG_SUCCESS;
}

FGstatus SetPort(ZephonInstance& r, const Vcpar& v)
{
    if (v.type != VPAR_INT)
        return FG_ERR_PARAM_TYPE;
    if (GrabInProgress(r)) {
        LowError("Parameter can't be set while a grab is in progress");
        return FG_ERR_SET_FAILED;
    }
    int32_t channel = 0;
    if (!ChannelOfPort(v.par.l, &channel))
        return FG_ERR_PARAM_VALUE;
    DvlDigChannel(r.digitizer, channel);
    if (!LibraryOk()) {
        DvlDigChannel(r.digitizer, r.channel);
        return FG_ERR_SET_FAILED;
    }
    r.channel = channel;
    r.fginst->port = v.par.l;
    return FG_SUCCESS;
}

FGstatus SetTriggerSource(ZephonInstance& r, const Vcpar& v)
{
    if (!r.fginst->external_trigger)
        return FG_ERR_PARAM_VALUE;
    int32_t code = 0;
    if (const FGstatus status = CodeOf(kSources, v, &code); status != FG_SUCCESS)
        return status;
    const int32_t type = r.board->board_type;
    const bool timer_or_port1 = code == 1 || code == 2 || code == 17;
    if ((type == kTypeCameraLink && (timer_or_port1 || code == DVL_TRIGGER_SOFTWARE)) ||
        ((type == kTypeRestrictedA || type == kTypeRestrictedB) && timer_or_port1))
        return FG_ERR_PARAM_VALUE;
    if (const FGstatus status = Control(r, DVL_DIG_TRIGGER_SOURCE, code); status != FG_SUCCESS)
        return status;
    r.trigger_source = code;
    return FG_SUCCESS;
}

FGstatus ForceTrigger(ZephonInstance& r)
{
    if (r.board->board_type == kTypeCameraLink)
        return FG_ERR_PARAM_UNKNOWN;
    if (!r.fginst->external_trigger || Inquire(r, DVL_DIG_GRAB_MODE) == kGrabModeAsync ||
        !GrabInProgress(r))
        return FG_ERR_PARAM_VALUE;
    if (const FGstatus status = Control(r, DVL_DIG_TRIGGER_SOURCE, DVL_TRIGGER_SOFTWARE);
        status != FG_SUCCESS)
        return status;
    // The source stays at software: what "trigger_source" answers from now on.
    r.trigger_source = DVL_TRIGGER_SOFTWARE;
    return Control(r, DVL_DIG_GRAB_TRIGGER, DVL_TRIGGER_FIRE);
}

FGstatus SetWordParam(ZephonInstance& r, const char* name, const Vcpar& v)
{
    int32_t code = 0;
    if (Is(name, "start_async_after_grab_async")) {
        if (const FGstatus status = CodeOf(kSwitch, v, &code); status != FG_SUCCESS)
            return status;
        r.start_async_after_grab_async = code != 0;
        return FG_SUCCESS;
    }
    if (Is(name, "external_trigger")) {
        if (const FGstatus status = CodeOf(kTruth, v, &code); status != FG_SUCCESS)
            return status;
        const bool on = code != 0;
        const FGstatus status =
            Control(r, DVL_DIG_GRAB_TRIGGER, on ? DVL_TRIGGER_ENABLE : DVL_TRIGGER_DISABLE);
        if (status == FG_SUCCESS)
            r.fginst->external_trigger = on;
        return status;
    }
    // "trigger_signal"
    if (r.board->board_type == kTypeCameraLink)
        return FG_ERR_PARAM_UNKNOWN;
    if (const FGstatus status = CodeOf(kSignals, v, &code); status != FG_SUCCESS)
        return status;
    const FGstatus status = Control(r, DVL_DIG_TRIGGER_SIGNAL, code);
    if (status == FG_SUCCESS)
        r.trigger_signal = code;
    return status;
}

FGstatus SetAmount(ZephonInstance& r, const char* name, const Vcpar& v)
{
    int32_t amount = 0;
    if (Is(name, "exposure_time") || Is(name, "exposure_time_delay")) {
        const int32_t type = r.board->board_type;
        if (type == kTypeRestrictedA || type == kTypeCameraLink || type == kTypeRestrictedB)
            return FG_ERR_PARAM_UNKNOWN;
        if (const FGstatus status = Amount(v, FG_ERR_PARAM_TYPE, &amount); status != FG_SUCCESS)
            return status;
        return Control(
            r, Is(name, "exposure_time") ? DVL_DIG_EXPOSURE_TIME : DVL_DIG_EXPOSURE_DELAY, amount);
    }
    const Code* feature = Feature(name);
    if (r.board->board_type != kTypeCameraLink ||
        Inquire(r, feature->code + 2) == Inquire(r, feature->code + 1))
        return FG_ERR_PARAM_UNKNOWN;
    if (const FGstatus status = Amount(v, FG_ERR_PARAM_VALUE, &amount); status != FG_SUCCESS)
        return status;
    return Control(r, feature->code, amount);
}

// The range of a feature: lower end, upper end, step 1, value; none when the
// ends are equal.
void Range(const ZephonInstance& r, int32_t item, fg::Answer& answer)
{
    const int32_t lower = Inquire(r, item + 2), upper = Inquire(r, item + 1);
    if (lower == upper)
        return;
    answer.Int(lower);
    answer.Int(upper);
    answer.Int(1);
    answer.Int(Inquire(r, item));
}

// Collects the answer for `name`; false for a name with none.
bool Collect(ZephonInstance& r, const char* name, fg::Answer& answer)
{
    if (Is(name, "revision"))
        answer.Text(kRevision);
    else if (Is(name, "grab_timeout"))
        answer.Int(r.grab_timeout);
    else if (Is(name, "trigger_signal"))
        answer.Text(WordOf(kSignals, r.trigger_signal));
    else if (Is(name, "trigger_source"))
        answer.Text(r.fginst->external_trigger ? WordOf(kSourceNames, r.trigger_source) : "none");
    else if (Is(name, "exposure_time"))
        answer.Int(Inquire(r, DVL_DIG_EXPOSURE_TIME));
    else if (Is(name, "exposure_time_delay"))
        answer.Int(Inquire(r, DVL_DIG_EXPOSURE_DELAY));
    else if (Is(name, "start_async_after_grab_async"))
        answer.Text(r.start_async_after_grab_async ? "enable" : "disable");
    else if (const Code* feature = Feature(name))
        answer.Int(Inquire(r, feature->code));
    else
        return false;
    return true;
}

} // namespace

std::span<const char* const> ParameterNames() { return kNames; }

FGstatus SetParameter(Vproc_handle, FGInstance* fginst, const char* name, const Vcpar* values,
                      int32_t num)
{
    ZephonInstance& r = Record(fginst);
    if (!name)
        return FG_ERR_PARAM_UNKNOWN;
    const bool known = Is(name, "port") || Is(name, "start_async_after_grab_async") ||
                       Is(name, "external_trigger") || Is(name, "trigger_signal") ||
                       Is(name, "trigger_source") || Is(name, "do_force_trigger") ||
                       Is(name, "do_abort_grab") || Is(name, "exposure_time") ||
                       Is(name, "exposure_time_delay") || Feature(name);
    if (!known)
        return FG_ERR_PARAM_UNKNOWN;
    if (Is(name, "do_force_trigger"))
        return ForceTrigger(r);
    if (Is(name, "do_abort_grab")) {
        if (!GrabInProgress(r))
            return FG_SUCCESS;
        SetGrabRunning(r, false);
        const FGstatus aborted = Control(r, DVL_DIG_GRAB_ABORT, DVL_DEFAULT);
        EndAbortedWait(r);
        return aborted;
    }
    if (!values || num < 1)
        return FG_ERR_PARAM_TYPE;
    const Vcpar& v = values[0];
    if (Is(name, "port"))
        return SetPort(r, v);
    if (Is(name, "trigger_source"))
        return SetTriggerSource(r, v);
    if (Is(name, "start_async_after_grab_async") || Is(name, "external_trigger") ||
        Is(name, "trigger_signal"))
        return SetWordParam(r, name, v);
    return SetAmount(r, name, v);
}

FGstatus GetParameter(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num)
{
    ZephonInstance& r = Record(fginst);
    if (!name)
        return FG_ERR_PARAM_UNKNOWN;
    r.answer_texts.clear();
    fg::Answer answer(r.answer_texts);
    if (Collect(r, name, answer))
        return answer.Commit(values, num);
    const std::size_t length = std::strlen(name);
    constexpr std::size_t kSuffix = sizeof "_range" - 1;
    if (length <= kSuffix || !Is(name + length - kSuffix, "_range"))
        return FG_ERR_PARAM_UNKNOWN;
    const Code* feature = Feature(std::string(name, length - kSuffix).c_str());
    if (!feature || r.board->board_type != kTypeCameraLink)
        return FG_ERR_PARAM_UNKNOWN;
    Range(r, feature->code, answer);
    return answer.Commit(values, num);
}

} // namespace zephon

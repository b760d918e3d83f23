#include "parameters.h"

#include <cstring>
#include <limits>
#include <span>

#include "capability.h"
#include "dsm.h"
#include "edition.h"
#include "instance.h"
#include "names.h"
#include <fgint/values.h>

namespace vfgtwain {

namespace {

enum class Kind {
    Names,         // a capability whose values have names
    Real,          // a capability of real values
    Integer,       // a capability of integer values
    UserInterface, // the instance's flag, "show" or "hide"
    Revision,      // the plug-in's revision, read only
};

constexpr double kAny = std::numeric_limits<double>::infinity();
constexpr char kSetFailed[] = "FGSetParam error: Setting capability failed";

struct Parameter {
    const char* name;
    Kind kind;
    TW_UINT16 cap = 0;
    const char* refused = nullptr;        // the text when the source refuses; null: read only
    double low = -kAny, high = kAny;      // the values accepted (Real, Integer)
    bool low_excluded = false;            // `low` itself is not
    std::span<const char* const> names{}; // Names: in value order
    const char* unknown = "source delivered an unknown value"; // Names: a value without a name
};

// In the order of the info answer.
const Parameter kParameters[] = {
    {"bitdepth", Kind::Integer, ICAP_BITDEPTH, kSetFailed, 0, kAny, true},
    {"brightness", Kind::Real, ICAP_BRIGHTNESS, kSetFailed, -1000, 1000},
    {"contrast", Kind::Real, ICAP_CONTRAST, kSetFailed, -1000, 1000},
    {"gamma", Kind::Real, ICAP_GAMMA, kSetFailed},
    {"highlight", Kind::Real, ICAP_HIGHLIGHT, kSetFailed, 0, 255},
    {"lightpath", Kind::Names, ICAP_LIGHTPATH,
     "FGSetParam error: Light path could not be set on your device!", 0, 0, false, kLightPathNames},
    {"physicalheight", Kind::Real, ICAP_PHYSICALHEIGHT},
    {"physicalwidth", Kind::Real, ICAP_PHYSICALWIDTH},
    {"pixeltype", Kind::Names, ICAP_PIXELTYPE, kSetFailed, 0, 0, false, kPixelTypeNames},
    {"revision", Kind::Revision},
    {"shadow", Kind::Real, ICAP_SHADOW, kSetFailed, 0, 255},
    {"units", Kind::Names, ICAP_UNITS, kSetFailed, 0, 0, false, kUnitNames},
    {"userinterface", Kind::UserInterface},
    {"xfermech", Kind::Names, ICAP_XFERMECH, "FGSetParam error: Setting ICAP_XFERMECH failed", 0, 0,
     false, kXferMechNames, "source delivered unknown value"},
    {"xnativeresolution", Kind::Real, ICAP_XNATIVERESOLUTION},
    {"xresolution", Kind::Real, ICAP_XRESOLUTION, kSetFailed, 0, kAny, true},
    {"ynativeresolution", Kind::Real, ICAP_YNATIVERESOLUTION},
    {"yresolution", Kind::Real, ICAP_YRESOLUTION, kSetFailed, 0, kAny, true},
    {"xscaling", Kind::Real, ICAP_XSCALING, kSetFailed, 0, kAny, true},
    {"yscaling", Kind::Real, ICAP_YSCALING, kSetFailed, 0, kAny, true},
};

const Parameter* Find(const char* name)
{
    for (const Parameter& p : kParameters)
        if (name && std::strcmp(p.name, name) == 0)
            return &p;
    return nullptr;
}

bool InRange(const Parameter& p, double value)
{
    return (p.low_excluded ? value > p.low : value >= p.low) && value <= p.high;
}

// The value to set, checked: its type (5325), then its range or name (5326).
FGstatus Checked(const Parameter& p, const Vcpar& v, double* value)
{
    switch (p.kind) {
    case Kind::Names: {
        const char* text = nullptr;
        if (const FGstatus status = fg::TextOf(&v, &text); status != FG_SUCCESS)
            return status;
        for (size_t i = 0; i < p.names.size(); ++i)
            if (std::strcmp(text, p.names[i]) == 0) {
                *value = i;
                return FG_SUCCESS;
            }
        return FG_ERR_PARAM_VALUE;
    }
    case Kind::Integer:
        if (v.type != VPAR_INT)
            return FG_ERR_PARAM_TYPE;
        *value = v.par.l;
        break;
    default:
        if (v.type != VPAR_INT && v.type != VPAR_REAL)
            return FG_ERR_PARAM_TYPE;
        *value = v.type == VPAR_INT ? double(v.par.l) : v.par.f;
        break;
    }
    return InRange(p, *value) ? FG_SUCCESS : FG_ERR_PARAM_VALUE;
}

void Answer(Vcpar* values, int32_t* num, Vcpar value)
{
    values[0] = value;
    *num = 1;
}

} // namespace

FGstatus ParameterNames(std::vector<std::string>* lines)
{
    for (const Parameter& p : kParameters)
        lines->push_back(p.name);
    return FG_SUCCESS;
}

FGstatus SetParameter(Vproc_handle, FGInstance* fginst, const char* name, const Vcpar* values,
                      int32_t num)
{
    TwainInstance& r = Record(fginst);
    const Parameter* p = Find(name);
    if (!p || (!p->refused && p->kind != Kind::UserInterface))
        return FG_ERR_PARAM_UNKNOWN;
    if (num < 1 || !values)
        return FG_ERR_PARAM_TYPE;
    if (p->kind == Kind::UserInterface) {
        const char* text = nullptr;
        if (const FGstatus status = fg::TextOf(&values[0], &text); status != FG_SUCCESS)
            return status;
        if (std::strcmp(text, "show") != 0 && std::strcmp(text, "hide") != 0)
            return FG_ERR_PARAM_VALUE;
        r.show_ui = std::strcmp(text, "show") == 0;
        return FG_SUCCESS;
    }
    double value = 0;
    const FGstatus status = Checked(*p, values[0], &value);
    if (status != FG_SUCCESS)
        return status;
    if (SetCapValue(p->cap, value))
        return FG_SUCCESS;
    Print(p->refused);
    return FG_ERR_SET_FAILED;
}

FGstatus GetParameter(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num)
{
    const TwainInstance& r = Record(fginst);
    const Parameter* p = Find(name);
    if (!p)
        return FG_ERR_PARAM_UNKNOWN;
    if (*num < 1) {
        *num = 1;
        return FG_ERR_PARAM_VALUE;
    }
    if (p->kind == Kind::UserInterface) {
        Answer(values, num, fg::Text(r.show_ui ? "show" : "hide"));
        return FG_SUCCESS;
    }
    if (p->kind == Kind::Revision) {
        Answer(values, num, fg::Text(kRevision));
        return FG_SUCCESS;
    }
    double value = 0;
    if (!GetCapReal(p->cap, &value)) {
        Print("FGGetParam error: Requesting capability failed");
        *num = 0;
        return FG_ERR_GET_FAILED;
    }
    Vcpar v = fg::Real(value);
    if (p->kind == Kind::Names) {
        const bool named = value >= 0 && value < double(p->names.size()) && value == int(value);
        v = fg::Text(named ? p->names[size_t(value)] : p->unknown);
    } else if (p->kind == Kind::Integer) {
        v = fg::Int(int32_t(value));
    }
    Answer(values, num, v);
    return FG_SUCCESS;
}

} // namespace vfgtwain

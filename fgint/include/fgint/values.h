// The values of a value list: made for an answer, read from a setting.
#pragma once

#include <fgint/fgint.h>

namespace fg {

inline Vcpar Int(int32_t value)
{
    Vcpar v{};
    v.par.l = value;
    v.type = VPAR_INT;
    return v;
}

inline Vcpar Real(double value)
{
    Vcpar v{};
    v.par.f = value;
    v.type = VPAR_REAL;
    return v;
}

// `text` must outlive the call that hands the value over.
inline Vcpar Text(const char* text)
{
    Vcpar v{};
    v.par.s = text;
    v.type = VPAR_STRING;
    return v;
}

// The integer of `value` into *out: FG_ERR_PARAM_VALUE when there is no value,
// FG_ERR_PARAM_TYPE for another type.
FGstatus IntegerOf(const Vcpar* value, int32_t* out);

// The integer of `value` into *out, as IntegerOf; FG_ERR_PARAM_VALUE outside
// `low` to `high`, which leaves *out as it was.
FGstatus IntegerIn(const Vcpar* value, int32_t low, int32_t high, int32_t* out);

// The text of `value` into *out, as IntegerOf; a null text is of another type.
FGstatus TextOf(const Vcpar* value, const char** out);

} // namespace fg

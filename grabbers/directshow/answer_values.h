#pragma once
// Values of a parameter answer. A text must outlive the call that hands it
// to the host.
#include "fgint/fgint.h"

namespace directshow {

inline Vcpar IntegerValue(int32_t value)
{
    Vcpar v{};
    v.par.l = value;
    v.type = VPAR_INT;
    return v;
}

inline Vcpar RealValue(double value)
{
    Vcpar v{};
    v.par.f = value;
    v.type = VPAR_REAL;
    return v;
}

inline Vcpar TextValue(const char* text)
{
    Vcpar v{};
    v.par.s = text;
    v.type = VPAR_STRING;
    return v;
}

} // namespace directshow

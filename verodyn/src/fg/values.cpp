#include "values.h"

#include <limits>

namespace verodyn::fg {

namespace {

bool fits_int32(long long v)
{
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

} // namespace

Vstatus ValueList::assign(const VTuple& tuple)
{
    texts_.clear();
    values_.assign(tuple.length(), Vcpar{});
    for (std::size_t i = 0; i < tuple.length(); ++i)
        if (tuple[i].is_text())
            texts_.push_back(tuple[i].S());
    std::size_t next_text = 0;
    for (std::size_t i = 0; i < tuple.length(); ++i) {
        Vcpar& v = values_[i];
        if (tuple[i].is_int()) {
            if (!fits_int32(tuple[i].L()))
                return VERR_PARAM;
            v.type = VPAR_INT;
            v.par.l = int32_t(tuple[i].L());
        } else if (tuple[i].is_real()) {
            v.type = VPAR_REAL;
            v.par.f = tuple[i].D();
        } else {
            v.type = VPAR_STRING;
            v.par.s = texts_[next_text++].c_str();
        }
    }
    return V_OK;
}

Vstatus to_tuple(const Vcpar* values, int32_t count, VTuple* out)
{
    if (count < 0 || (count > 0 && !values))
        return VERR_FG_ANSWER;
    VTuple tuple;
    for (int32_t i = 0; i < count; ++i) {
        switch (values[i].type) {
        case VPAR_INT:
            tuple.append(VCtrlVal(values[i].par.l));
            break;
        case VPAR_REAL:
            tuple.append(VCtrlVal(values[i].par.f));
            break;
        case VPAR_STRING:
            tuple.append(VCtrlVal(values[i].par.s));
            break;
        default:
            return VERR_FG_ANSWER;
        }
    }
    *out = std::move(tuple);
    return V_OK;
}

Vstatus single_int(const VTuple& tuple, int32_t* out)
{
    if (tuple.length() != 1 || !tuple[0].is_int() || !fits_int32(tuple[0].L()))
        return VERR_PARAM;
    *out = int32_t(tuple[0].L());
    return V_OK;
}

Vstatus single_real(const VTuple& tuple, double* out)
{
    if (tuple.length() != 1 || tuple[0].is_text())
        return VERR_PARAM;
    *out = tuple[0].D();
    return V_OK;
}

Vstatus single_text(const VTuple& tuple, std::string* out)
{
    if (tuple.length() != 1 || !tuple[0].is_text())
        return VERR_PARAM;
    *out = tuple[0].S();
    return V_OK;
}

} // namespace verodyn::fg

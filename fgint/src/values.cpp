#include <fgint/values.h>

namespace fg {

FGstatus IntegerOf(const Vcpar* value, int32_t* out)
{
    if (!value)
        return FG_ERR_PARAM_VALUE;
    if (value->type != VPAR_INT)
        return FG_ERR_PARAM_TYPE;
    *out = value->par.l;
    return FG_SUCCESS;
}

FGstatus IntegerIn(const Vcpar* value, int32_t low, int32_t high, int32_t* out)
{
    int32_t v = 0;
    const FGstatus status = IntegerOf(value, &v);
    if (status != FG_SUCCESS)
        return status;
    if (v < low || v > high)
        return FG_ERR_PARAM_VALUE;
    *out = v;
    return FG_SUCCESS;
}

FGstatus TextOf(const Vcpar* value, const char** out)
{
    if (!value)
        return FG_ERR_PARAM_VALUE;
    if (value->type != VPAR_STRING || !value->par.s)
        return FG_ERR_PARAM_TYPE;
    *out = value->par.s;
    return FG_SUCCESS;
}

} // namespace fg

// The parameters of FGSetParam and FGGetParam.
#pragma once

#include "instance.h"
#include <fgint/fgint.h>

namespace iidc {

// The 86 parameter names in the order of the "parameters" info answer.
constexpr int kParameterCount = 86;
const char* ParameterName(int index);

// Sets parameter `name` (any letter case) from `values`; names the plug-in
// does not know go to the vendor extension, else FG_ERR_PARAM_UNKNOWN.
FGstatus SetParam(IIDCInstance& r, FGInstance* fginst, const char* name, const Vcpar* values,
                  int32_t num);

// Answers parameter `name` into the host's `values` (`*num` in: capacity,
// out: count); texts stay valid until the instance's next call.
FGstatus GetParam(IIDCInstance& r, FGInstance* fginst, const char* name, Vcpar* values,
                  int32_t* num);

} // namespace iidc

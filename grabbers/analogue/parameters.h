// The additional parameters of the analogue-board plug-in.
#pragma once

#include "instance.h"
#include <fgint/fgint.h>

namespace zephon {

inline constexpr int kParameterCount = 33;

// The names that info query 4 lists, in its order.
const char* ParameterName(int index);

FGstatus SetParam(ZephonInstance& r, const char* name, const Vcpar* values, int32_t num);
FGstatus GetParam(ZephonInstance& r, const char* name, Vcpar* values, int32_t* num);

} // namespace zephon

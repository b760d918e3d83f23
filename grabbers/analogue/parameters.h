// The additional parameters of the analogue-board plug-in.
#pragma once

#include <span>

#include <fgint/fgint.h>

namespace zephon {

// The names that info query 4 lists, in its order.
std::span<const char* const> ParameterNames();

// FGSetParam and FGGetParam of the open instance `fginst`.
FGstatus SetParameter(Vproc_handle proc_id, FGInstance* fginst, const char* name,
                      const Vcpar* values, int32_t num);
FGstatus GetParameter(Vproc_handle proc_id, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num);

} // namespace zephon

// FGSetParam and FGGetParam: names compared ignoring letter case; a name
// that is none of the fixed parameters is a property path (dictionary.h).
#pragma once

#include "instance.h"

namespace usbcam {

FGstatus SetParam(Vproc_handle proc_id, FGInstance* fginst, const char* name, const Vcpar* values,
                  int32_t num);
// Writes the answer into the host's `values` (`*num` in: capacity, out: count).
FGstatus GetParam(FGInstance* fginst, const char* name, Vcpar* values, int32_t* num);

} // namespace usbcam

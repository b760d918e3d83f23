// Opening and closing an instance of the analogue-board plug-in.
#pragma once

#include <span>

#include "instance.h"
#include <fgint/fgint.h>

namespace zephon {

// Opens the board and digitizer that `fginst` asks for into `r`, sharing the
// board of another record of `all` that uses the same device when the board
// type allows it. On failure everything this open took is released and `r`
// is free again.
FGstatus OpenInstance(Vproc_handle proc_id, ZephonInstance& r, FGInstance* fginst,
                      std::span<ZephonInstance> all);

// Releases everything the open took, even past a step that fails, and frees
// `r`; returns the first failure.
FGstatus CloseInstance(Vproc_handle proc_id, ZephonInstance& r);

} // namespace zephon

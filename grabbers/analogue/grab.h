// Grabs of the analogue-board plug-in: each instance grabs into one of its
// two buffers while the other holds the last frame; the board library's hook
// sets the instance's event when a grab ends.
#pragma once

#include <span>

#include "instance.h"
#include <fgint/fgint.h>

namespace zephon {

// Aborts the grab in progress of `r`'s digitizer, if any; FG_ERR_DEVICE_CALL
// when the library refuses.
FGstatus AbortGrab(ZephonInstance& r);

// Makes the grab of `r` that was just aborted, and that another thread may be
// waiting for, fail at once instead of at its time-out.
void EndAbortedWait(ZephonInstance& r);

// Aborts the running grabs of the other records of `all` on `r`'s board.
void AbortOtherGrabs(ZephonInstance& r, std::span<ZephonInstance> all);

FGstatus GrabStartAsync(ZephonInstance& r, std::span<ZephonInstance> all, double max_delay);

// FGGrab, and FGGrabAsync when `fginst->async_grab` is set.
FGstatus Grab(Vproc_handle proc_id, ZephonInstance& r, std::span<ZephonInstance> all,
              int32_t open_count, VImageRecord* image, int32_t* num_image);

} // namespace zephon

// Synchronous and asynchronous grabs: one queued buffer, the frame it gets,
// host images of the part, and the buffer given back.
#pragma once

#include "instance.h"
#include <fgint/fgint.h>

namespace iidc {

// Discards what is queued, queues one buffer and delivers its frame.
FGstatus Grab(Vproc_handle proc_id, IIDCInstance& r, VImageRecord* image, int32_t* num_image);

// Discards what is queued and queues one buffer; `max_delay` (ms) is kept,
// rounded, for the grab that collects it.
FGstatus GrabStartAsync(IIDCInstance& r, double max_delay);

// Delivers the oldest queued frame (queueing one when none is), with one
// more buffer under way when start_async_after_grab_async is enabled; a frame
// older than the kept maximum delay gives FG_ERR_TIMEOUT.
FGstatus GrabAsync(Vproc_handle proc_id, IIDCInstance& r, double max_delay, VImageRecord* image,
                   int32_t* num_image);

// Empties the camera's queue (do_abort_grab): a waiting grab ends.
void AbortGrab(IIDCInstance& r);

} // namespace iidc

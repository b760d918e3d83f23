// Opening and closing an instance, with the sharing of one camera between
// the instances that open the same device text.
#pragma once

#include "instance.h"

namespace usbcam {

FGstatus Open(Vproc_handle proc_id, FGInstance* fginst);
FGstatus Close(Vproc_handle proc_id, FGInstance* fginst);

// The camera's request queue depth becomes `depth`; the queue is reset, so
// no instance of the camera has a request pending afterwards. Raises camera
// access errors.
void SetRequestQueueDepth(AcquireInstance& r, int32_t depth);

} // namespace usbcam

#pragma once
// The record's two frame buffers, sized for the format the graph negotiated.
#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// `frame_size` and `bottom_up` from `wanted_format`, and both buffers
// allocated anew when they are too small for a frame; under the record's
// lock, for the graph is connected (and stopped) by then. 5 for a frame of
// 0xF0000000 bytes or more, or the status of a failed allocation (the
// capacity is then 0).
FGstatus SizeFrameBuffers(Vproc_handle proc_id, CIODirectShow& record);

} // namespace directshow

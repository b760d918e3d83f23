#pragma once
// The grab callbacks: run the graph, wait for the renderer's sample, take the
// frame buffer that holds it and convert it into the host's images.
#include <fgint/fgint.h>

namespace directshow {

FGstatus FGGrab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image);
FGstatus FGGrabStartAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay);
FGstatus FGGrabAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                     VImageRecord* image, int32_t* num_image);

} // namespace directshow

// The grab callbacks: a finished image request of the camera becomes the
// host images, copied (the default) or, in volatile mode, made over the
// request's own buffer; the request is given back before the grab returns.
#pragma once

#include "instance.h"

namespace usbcam {

FGstatus Grab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image);
FGstatus GrabStartAsync(FGInstance* fginst, double max_delay);
FGstatus GrabAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay, VImageRecord* image,
                   int32_t* num_image);

} // namespace usbcam

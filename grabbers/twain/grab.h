// One image from the source.
#pragma once

#include "instance.h"
#include <fgint/fgint.h>

namespace vfgtwain {

// Enables the source (its dialog shown as the instance says), waits for its
// messages in bounded turns, transfers one image the way ICAP_XFERMECH says,
// disables the source and decodes the bitmap into one host image a channel,
// writing bits_per_channel, color_space, image_width and image_height back.
// FG_ERR_GRAB when the source is cancelled, asks to be closed, stays silent
// for 60 s, or its bitmap cannot be taken; a host status as it came. After an
// image, the settings are kept for camera types "interactive:<unit>".
FGstatus GrabTwain(Vproc_handle proc_id, FGInstance* fginst, const TwainInstance& r,
                   VImageRecord* image, int32_t* num_image);

} // namespace vfgtwain

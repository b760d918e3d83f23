#pragma once
// After a device dialog: the wanted format becomes the one the capture pin
// is set to now.
#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// The capture pin's current format (IAMStreamConfig::GetFormat) into the
// wanted type, the decoder's standard into `video_standard`, the device's
// format no longer asked for, and the camera_type write-back into `fginst`.
// 1, or 5 (with a message where the pin cannot be had or asked) when the
// format is not video with a VIDEOINFOHEADER or the standard cannot be read.
FGstatus AdaptToMediaType(CIODirectShow& record, FGInstance* fginst);

} // namespace directshow

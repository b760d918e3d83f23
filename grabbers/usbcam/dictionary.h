// Camera properties by path ("Camera/Expose_us"): set, get with a query word,
// and the lists of paths, over the instance's setting and the camera's
// dictionary.
#pragma once

#include "instance.h"
#include <fgint/answer.h>

namespace usbcam {

// Writes the values of a path's property; 5321 for an unknown path, 5325 for
// a value of the wrong type, 5326 for a null text or a value the camera refuses.
FGstatus SetPath(AcquireInstance& r, const char* name, const Vcpar* values, int32_t num);

// Answers a path, with its query word: "limits.<path>" or "<path>_range",
// "dictionary" or "<path>_values", "isVisible.<path>".
FGstatus GetPath(const AcquireInstance& r, const char* name, fg::Answer& answer);

// Answers one of the lists of paths ("readable_instance_properties" ...
// "available_param_types"); false when `name` is none of them.
bool GetPathList(const AcquireInstance& r, const char* name, fg::Answer& answer);

} // namespace usbcam

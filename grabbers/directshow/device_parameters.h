#pragma once
// The device settings of an open record: amplifier and camera-control
// properties, frame rate and video-control modes, applied with the graph torn down behind the
// capture filter and reconnected afterwards, and read back with their ranges.
#include <vector>

#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// Sets the amplifier or camera-control property `name` from `values`;
// FG_ERR_PARAM_UNKNOWN when `name` is none of them.
FGstatus SetDeviceProperty(CIODirectShow& r, FGInstance* fginst, const char* name,
                           const Vcpar* values, int32_t num);

// The answer to property `name` or "<name>_range" (possibly no values);
// FG_ERR_PARAM_UNKNOWN when `name` is none of them.
FGstatus GetDeviceProperty(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer);

// Sets "frame_rate" (a new wanted frame period, the renderer's pin
// reconnected), a video-control mode ("flip_horizontal", "flip_vertical",
// "external_trigger") or "do_force_trigger"; FG_ERR_PARAM_UNKNOWN for other
// names.
FGstatus SetVideoControl(CIODirectShow& r, FGInstance* fginst, const char* name,
                         const Vcpar* values, int32_t num);

// "frame_rate", the flips and the three mode ranges; FG_ERR_PARAM_UNKNOWN for
// other names.
FGstatus GetVideoControl(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer);

} // namespace directshow

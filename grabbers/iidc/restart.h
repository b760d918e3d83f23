// Changing what the camera transfers: stop, wait for the frame under way,
// change, start again.
#pragma once

#include <functional>

#include "instance.h"
#include <fgint/fgint.h>

namespace iidc {

// Frames a second of the recorded format: format 7 from the bytes a frame
// and the packet size (one packet each 125 us; FG_ERR_GET_FAILED for packet
// size 0 or an unreadable frame size), else 1.875 x 2 to the rate number.
FGstatus FrameRate(IIDCInstance& r, double* rate);

// Stops the camera, waits 100 ms + one frame on the bus clock, closes capture,
// runs `change` and starts again. Returns `change`'s own status, or
// FG_ERR_OPEN when the camera cannot be stopped and FG_ERR_RESTART when it
// cannot be started again (the change is then made but not in force).
FGstatus Restart(IIDCInstance& r, const std::function<FGstatus()>& change);

} // namespace iidc

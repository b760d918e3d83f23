// What an interactive grab leaves for the next open: the user's settings as
// open parameters, so that opening with them repeats the choice without the
// source's dialog.
#pragma once

#include <fgint/fgint.h>
#include <twain/protocol.h>

namespace vfgtwain {

// Sets ICAP_UNITS to `units` and writes the source's current settings into
// the instance as a bare unit's open parameters: camera_type, the
// resolutions (pixels: scaling x physical size), the image part from the
// layout, color_space and bits_per_channel. Values that cannot be read
// become -1 (camera_type "interactive"), with a text.
void SaveSettings(FGInstance* fginst, TW_UINT16 units);

} // namespace vfgtwain

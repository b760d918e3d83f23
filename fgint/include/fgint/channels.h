// The channels of the colour spaces the plug-ins grab in.
#pragma once

#include <fgint/fgint.h>

namespace fg {

// Sets fginst->num_channels from its colour space, to the letter: 1 for
// "gray", 3 for "rgb"; FG_ERR_COLOR_SPACE, and nothing set, for any other.
// A plug-in replaces "default" by its own colour space first.
FGstatus SetChannelsOfColourSpace(FGInstance* fginst);

} // namespace fg

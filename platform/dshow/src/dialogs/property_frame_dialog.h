#pragma once
// The property frame as a Qt dialog: a tab per page, a slider with its value
// and an "auto" box per property, a combo box per choice, OK and Cancel.
#include <dshow/property_frame.h>

namespace dshow {

// Shows `frame` modally with its top-left corner at (x, y): true when the
// user accepted, `frame` then holding what the user set.
bool RunPropertyFrameDialog(PropertyFrame& frame, int x, int y);

} // namespace dshow

// What the host functions share with the frame-grabber operators.
#pragma once

#include <cstddef>
#include <string>

#include <fgint/fgint.h>

namespace verodyn::fg {

// Tracked allocation behind VXAlloc, VXAllocTmp and image creation. A block is
// freed only by the family that gave it (temporary or not).
FGstatus tracked_alloc(std::size_t size, const char* file, int line, bool temporary, void** out);
FGstatus tracked_free(void* pointer, bool temporary);

// Host global 64: new image planes are cleared while it is non-zero.
bool clear_new_images();

// The failure that VProcessErr last reported on this thread, as
// "<call> (<file>:<line>) failed with <status>"; taking it clears it.
std::string take_plugin_detail();

} // namespace verodyn::fg

// Which camera node an open call's `device` text names.
#pragma once

#include "instance.h"

namespace iidc {

// The index of the free node `device` names: "-1" or "default" the first
// free one; card and node id as "c.n" or "c.nn"; a GUID as sixteen
// hexadecimal digits (high half first). -1 when it names none.
int MapDevice(const char* device, const NodeTable& table);

} // namespace iidc

// Capabilities of the open source: their current values and setting one.
#pragma once

#include <twain/protocol.h>
#include <twain_codec/container.h>

namespace vfgtwain {

// GetCapValue: the current value of `cap` (MSG_GETCURRENT), whatever its
// container. False, with the reason printed, when the source refuses or the
// container cannot be read; the container is freed in every case.
bool GetCapValue(TW_UINT16 cap, twain_codec::CapItem* item);
// The current value as a number (integers, TW_FIX32); false as GetCapValue,
// or for a frame.
bool GetCapReal(TW_UINT16 cap, double* value);

// SetCapValue: sets `cap` to `value` in a ONEVALUE container of the
// capability's own item type (TW_FIX32 from the real, else the integer).
// True only for TWRC_SUCCESS; a failure is printed with its condition code.
bool SetCapValue(TW_UINT16 cap, double value);

} // namespace vfgtwain

// Reading the current value out of a capability's container, keeping inside
// the block the container came in.
#pragma once

#include <cstddef>

#include <twain/protocol.h>

namespace twain_codec {

// One item of a container.
struct CapItem {
    TW_UINT16 type = 0;   // TWTY_*
    TW_INT32 integer = 0; // the integer types (TWTY_UINT32 above 2^31 wraps)
    TW_FIX32 fix{};       // TWTY_FIX32
    TW_FRAME frame{};     // TWTY_FRAME
};

// The item a container of kind `con_type` holds as its current value: a
// ONEVALUE's value, an ENUMERATION's item at CurrentIndex, a RANGE's
// CurrentValue. `container` holds `size` bytes. Returns null on success, else
// the text that says what is wrong: an ARRAY, an unknown kind, an item type
// other than the integers, TWTY_FIX32 and TWTY_FRAME, or a container that
// does not fit in its block.
const char* ReadCurrentItem(TW_UINT16 con_type, const void* container, std::size_t size,
                            CapItem* item);

// The item as a number: integers as they are, TW_FIX32 as Whole + Frac / 65536.
// False for a frame.
bool ItemToReal(const CapItem& item, double* value);

} // namespace twain_codec

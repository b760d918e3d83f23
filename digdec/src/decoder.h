// Decoding one digitizer command packet of the Zephon II board.
#pragma once

#include <cstdint>

namespace digdec {

inline constexpr uint32_t kCommandSelect = 1;
inline constexpr uint32_t kZephonSelectBit = 0x1000000;

// Adapts the layout-700 packet at `packet` for the generic digitizer module,
// hands it on (DvlBrnProcessCommand) and renames the sister board in the texts
// it returns. The packet is trusted to hold its header and its total size; a
// malformed packet, or one the command object cannot be built for, is handed
// on unchanged.
void DecodeDigCommand(void* packet);

} // namespace digdec

// The board library's generic digitizer module DVLBRN (the module of the sister
// board Brenna), simulated: it records every packet it is handed and answers
// the name query 0x1802 by filling the text parameters (kind 5) among
// parameters 2 to 5 with Brenna's names.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include <dvl/export.h>

namespace dvl {

// Commands the board library sends to a board's digitizer module: a new
// digitizer (parameter 1 its number), the name query (parameter 1 which
// names, parameters 2 to 5 their texts) and a grab start.
inline constexpr uint32_t kCommandAllocate = 1;
inline constexpr uint32_t kCommandNameQuery = 0x1802;
inline constexpr uint32_t kCommandGrabStart = 0x0301;

} // namespace dvl

// DVLBRN's exports by ordinal (a space of its own, apart from the board library's).
enum DvlBrnOrdinal : int { DVLBRN_ORD_PROCESS_COMMAND = 100 };

extern "C" {

// Ordinal 100: processes the command packet at `packet` (layout 700). The packet
// is trusted to hold its total size (never less than its 24-byte header is read).
DVLBRN_API void DvlBrnProcessCommand(void* packet);

} // extern "C"

namespace dvl {

// At most this many packets are kept: the latest ones.
inline constexpr std::size_t kBrnRecordedPackets = 256;

// The bytes of the packets DVLBRN received since the last clear while
// recording, as they arrived, oldest first.
DVLBRN_API std::vector<std::vector<std::byte>> BrnReceivedPackets();

// Starts (the default) or stops recording the packets received.
DVLBRN_API void BrnSetRecording(bool on);

DVLBRN_API void BrnClearReceivedPackets();

// The names written into parameters 2, 3, 4 and 5 for command 0x1802 (each cut
// to its buffer's capacity). The defaults are BrnDefaultNames().
DVLBRN_API void BrnSetNames(const std::array<std::string, 4>& names);
DVLBRN_API const std::array<std::string, 4>& BrnDefaultNames();

} // namespace dvl

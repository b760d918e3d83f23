// The board library's generic digitizer module DVLBRN (the module of the sister
// board Brenna), simulated: it records every packet it is handed and answers
// the name query 0x1802 by filling the text parameters (kind 5) among
// parameters 2 to 5 with Brenna's names.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace dvl {

inline constexpr uint32_t kCommandNameQuery = 0x1802;

} // namespace dvl

// DVLBRN's exports by ordinal (a space of its own, apart from the board library's).
enum DvlBrnOrdinal : int { DVLBRN_ORD_PROCESS_COMMAND = 100 };

extern "C" {

// Ordinal 100: processes the command packet at `packet` (layout 700). The packet
// is trusted to hold its total size (never less than its 24-byte header is read).
void DvlBrnProcessCommand(void* packet);

} // extern "C"

namespace dvl {

// The bytes of every packet DVLBRN received since the last clear, as they arrived.
std::vector<std::vector<std::byte>> BrnReceivedPackets();

void BrnClearReceivedPackets();

// The names written into parameters 2, 3, 4 and 5 for command 0x1802 (each cut
// to its buffer's capacity). The defaults are BrnDefaultNames().
void BrnSetNames(const std::array<std::string, 4>& names);
const std::array<std::string, 4>& BrnDefaultNames();

} // namespace dvl

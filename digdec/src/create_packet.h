// Making packet accessors and copying one packet into another across layouts.
#pragma once

#include <memory>

#include "dig_command_packet.h"

namespace digdec {

// A packet of its own for `version` 610 (count main and `extra` extra slots) or
// 700 (120-byte buffer, prepared for `count` parameters and empty: size 24),
// holding `code`. Null for any other version or when memory is short.
std::unique_ptr<DigCommandPacket> CreateDigCommandPacket(uint32_t code, int count, int extra,
                                                         int version);

// Copies `from` into `to`: the command code and header words, then the
// parameters. 700 -> 700 takes the whole packet (at most 120 bytes) and walks
// it; 610 -> 610 the slots and counts; 610 -> 700 appends every main and
// extra slot as a 64-bit value (kind 7), since slots carry no kind; 700 -> 610
// puts parameter i's value (zero-padded to 8 bytes) in the slot of index i.
// Refused, leaving `to` unchanged, when the parameters do not fit.
bool CopyDigCommandPacket(const DigCommandPacket& from, DigCommandPacket& to);

} // namespace digdec

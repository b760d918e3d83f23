// The plug-in's device texts and ports, as the board library names them.
#pragma once

#include <cstdint>

namespace zephon {

struct DeviceAddress {
    const char* descriptor = nullptr; // system descriptor of the board family
    int32_t number = 0;               // 0..15, or DVL_DEFAULT for -1
};

// Reads "zephon_ii:N", "zephon_ii_1394:N", "zephon_ii_cl:N" or
// "zephon_ii_dig:N" in any letter case, N a decimal 0..15 or -1; false for
// any other text.
bool ParseDevice(const char* text, DeviceAddress* address);

// The board library's channel code of `port` (-1..23); false for another port.
bool ChannelOfPort(int32_t port, int32_t* channel);

} // namespace zephon

#include "device.h"

#include <cstdio>
#include <string>

#include <base/text_case.h>
#include <dvl/board.h>

namespace zephon {

namespace {

struct Family {
    const char* format;
    const char* descriptor;
};

constexpr Family kFamilies[] = {
    {"zephon_ii_1394:%d", "\\\\.\\D_SYSTEM_ZEPHON_II_1394"},
    {"zephon_ii_cl:%d", "\\\\.\\D_SYSTEM_ZEPHON_II_CL"},
    {"zephon_ii_dig:%d", "\\\\.\\D_SYSTEM_ZEPHON_II_DIG"},
    {"zephon_ii:%d", "\\\\.\\D_SYSTEM_ZEPHON_II"},
};

constexpr int32_t kChannels[] = {0x20000000, 0x40000000, int32_t(0x80000000),
                                 0x01000000, 0x02000000, 0x04000000,
                                 0x08000000, 0x00200000, 0x00010000,
                                 0x00020000, 0x00040000, 0x00080000,
                                 0x1000,     0x2000,     0x4000,
                                 0x8000,     0x100,      0x200,
                                 0x400,      0x800,      0x10,
                                 0x20,       0x40,       0x80};

} // namespace

bool ParseDevice(const char* text, DeviceAddress* address)
{
    const std::string lower = ondula::lowered(text ? text : "");
    for (const Family& family : kFamilies) {
        int number = 0;
        if (std::sscanf(lower.c_str(), family.format, &number) != 1)
            continue;
        if (number < -1 || number > 15)
            return false;
        address->descriptor = family.descriptor;
        address->number = number == -1 ? DVL_DEFAULT : number;
        return true;
    }
    return false;
}

bool ChannelOfPort(int32_t port, int32_t* channel)
{
    if (port == -1) {
        *channel = DVL_DEFAULT;
        return true;
    }
    if (port < 0 || port >= int32_t(std::size(kChannels)))
        return false;
    *channel = kChannels[port];
    return true;
}

} // namespace zephon

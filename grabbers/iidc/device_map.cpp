#include "device_map.h"

#include <cctype>
#include <cstring>

namespace iidc {

namespace {

bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool Hex(const char* text, int n, uint32_t* value)
{
    *value = 0;
    for (int i = 0; i < n; ++i) {
        const char c = text[i];
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        *value = *value << 4 | uint32_t(Digit(c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    return true;
}

template <typename Match> int FirstFree(const NodeTable& table, Match&& match)
{
    for (uint32_t i = 0; i < table.count; ++i)
        if (!table.nodes[i].Busy && match(table.nodes[i]))
            return int(i);
    return -1;
}

} // namespace

int MapDevice(const char* device, const NodeTable& table)
{
    const size_t length = std::strlen(device);
    if (std::strcmp(device, "-1") == 0 || std::strcmp(device, "default") == 0)
        return FirstFree(table, [](const FGNODEINFO&) { return true; });
    if ((length == 3 || length == 4) && Digit(device[0]) && device[1] == '.' && Digit(device[2]) &&
        (length == 3 || Digit(device[3]))) {
        const int card = device[0] - '0';
        const int node = length == 3 ? device[2] - '0' : (device[2] - '0') * 10 + device[3] - '0';
        return FirstFree(
            table, [&](const FGNODEINFO& n) { return n.CardNumber == card && n.NodeId == node; });
    }
    UINT32HL guid{};
    if (length == 16 && Hex(device, 8, &guid.High) && Hex(device + 8, 8, &guid.Low))
        return FirstFree(table, [&](const FGNODEINFO& n) {
            return n.Guid.High == guid.High && n.Guid.Low == guid.Low;
        });
    return -1;
}

} // namespace iidc

// Fuzz entry of the frame-grabber open parameters: the first byte picks one of
// the simulated interfaces, the rest holds the open's parameters in their
// order, one a line (missing ones take their defaults). Any parameters open
// a grabber, which is closed again, or are refused; nothing stays open.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <verodyn/framegrabber.h>
#include <verodyn/status.h>

#include "held_plugins.h"

namespace {

int number(const std::vector<std::string>& fields, size_t index, int fallback)
{
    if (index >= fields.size())
        return fallback;
    return int(std::strtol(fields[index].c_str(), nullptr, 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char* const interfaces[] = {"DirectShow", "1394IIDC", "Twain", "KandrisAcquire",
                                             "MockCam"};
    static const bool ready = HoldPlugins();
    if (size == 0 || !ready)
        return 0;
    const char* name = interfaces[data[0] % (sizeof interfaces / sizeof interfaces[0])];
    std::vector<std::string> fields(1);
    for (size_t i = 1; i < size; ++i)
        if (data[i] == '\n')
            fields.emplace_back();
        else
            fields.back() += char(data[i]);
    auto text = [&](size_t index) {
        return index < fields.size() ? fields[index].c_str() : "default";
    };
    const double gain = fields.size() > 9 ? std::strtod(fields[9].c_str(), nullptr) : 1.0;
    long handle = -1;
    if (open_framegrabber(name, number(fields, 0, 1), number(fields, 1, 1), number(fields, 2, 0),
                          number(fields, 3, 0), number(fields, 4, 0), number(fields, 5, 0), text(6),
                          number(fields, 7, -1), text(8), gain, text(10), text(11),
                          fields.size() > 12 ? fields[12].c_str() : "0", number(fields, 13, 0),
                          number(fields, 14, 0), &handle) == V_OK &&
        close_framegrabber(handle) != V_OK)
        std::abort();
    return 0;
}

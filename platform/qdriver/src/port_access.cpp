#include "driver_state.h"

namespace qdriver {

bool ValidWidth(uint32_t width) { return width == 1 || width == 2 || width == 4; }

bool ResolvePort(const Device& d, uint32_t port, uint32_t width, uint32_t* absolute)
{
    const DeviceResources& r = d.resources;
    uint64_t candidate = r.ports && port < r.portCount ? uint64_t(r.portBase) + port : port;
    // A range configured past the last port ends there: beyond, no port wraps
    // around to the bottom of the bus.
    auto inside = [&](uint32_t base, uint32_t count) {
        return candidate >= base && candidate + width <= uint64_t(base) + count &&
               candidate + width <= uint64_t(1) << 32;
    };
    bool allowed = r.ports && inside(r.portBase, r.portCount);
    for (const auto& [id, map] : d.portMaps)
        allowed = allowed || inside(map.base, map.count);
    if (!allowed)
        return false;
    *absolute = static_cast<uint32_t>(candidate);
    return true;
}

} // namespace qdriver

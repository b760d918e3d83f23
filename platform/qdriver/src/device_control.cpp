
#include "driver_state.h"
#include <base/text_case.h>
#include <qdriver/device_keys.h>

namespace qdriver {
namespace {

using registry::Registry;

bool ReadResources(Registry& reg, int platformId, const std::string& name, DeviceResources* out)
{
    registry::HKEY key = 0;
    if (reg.OpenKey(registry::kLocalMachine, DeviceParentPath(platformId) + "\\" + name,
                    registry::kKeyRead, &key))
        return false;
    auto read = [&](const char* value, uint32_t* target) {
        return reg.QueryDword(key, value, target) == 0;
    };
    auto flag = [&](const char* value) {
        uint32_t v = 0;
        return read(value, &v) && v != 0;
    };
    DeviceResources r;
    read(kInterfaceType, &r.interfaceType);
    read(kVendorID, &r.vendorId);
    read(kDeviceID, &r.deviceId);
    r.ports = read(kPortBase, &r.portBase) && read(kPortCount, &r.portCount) && r.portCount > 0;
    r.interrupt = read(kInterruptLevel, &r.interruptLevel);
    r.memory = read(kMemBase, &r.memBase) && read(kMemCount, &r.memCount) && r.memCount > 0;
    r.dynamic = flag(kDynamic);
    r.ignoreConflicts = r.interfaceType != kInterfaceVendorBus && flag(kIgnoreConflicts);
    read(kIsrOp, &r.isrOp);
    read(kIsrOffset, &r.isrOffset);
    read(kIsrData, &r.isrData);
    read(kIsrIdOp, &r.isrIdOp);
    read(kIsrIdOffset, &r.isrIdOffset);
    read(kIsrIdMask, &r.isrIdMask);
    read(kIsrIdValue, &r.isrIdValue);
    read(kDmaBufSize, &r.dmaBufSize);
    reg.CloseKey(key);
    *out = r;
    return true;
}

bool Overlaps(uint32_t a, uint32_t aCount, uint32_t b, uint32_t bCount)
{
    return a < uint64_t(b) + bCount && b < uint64_t(a) + aCount;
}

bool ResourcesConflict(const Driver::State& s, const Device& d)
{
    const DeviceResources& r = d.resources;
    if (r.ignoreConflicts)
        return false;
    return (r.ports && Conflicts(s, &d, Resource::Ports, r.portBase, r.portCount)) ||
           (r.interrupt && Conflicts(s, &d, Resource::Interrupt, r.interruptLevel, 1)) ||
           (r.memory && Conflicts(s, &d, Resource::Memory, r.memBase, r.memCount));
}

std::shared_ptr<Device> MakeDevice(Driver::State& s, const std::string& name,
                                   const DeviceResources& r)
{
    auto d = std::make_shared<Device>();
    d->name = name;
    d->resources = r;
    d->context = s.nextContext++;
    if (r.interfaceType == kInterfaceVendorBus) {
        wire::PutWord(d->busData.data(), 0, (r.vendorId & 0xFFFF) | r.deviceId << 16);
    }
    return d;
}

} // namespace

std::shared_ptr<Device> FindDevice(const Driver::State& s, const std::string& name)
{
    auto it = s.devices.find(ondula::lowered(name));
    return it == s.devices.end() ? nullptr : it->second;
}

bool Conflicts(const Driver::State& s, const Device* self, Resource::Kind kind, uint32_t base,
               uint32_t count)
{
    for (const Resource& owned : s.options.systemResources)
        if (owned.kind == kind && Overlaps(base, count, owned.base, owned.count))
            return true;
    for (const auto& [key, other] : s.devices) {
        if (other.get() == self)
            continue;
        const DeviceResources& r = other->resources;
        switch (kind) {
        case Resource::Ports:
            if (r.ports && Overlaps(base, count, r.portBase, r.portCount))
                return true;
            for (const auto& [id, map] : other->portMaps)
                if (Overlaps(base, count, map.base, map.count))
                    return true;
            break;
        case Resource::Interrupt:
            if ((r.interrupt && r.interruptLevel == base) ||
                (other->interruptConnected && other->connectedLevel == base))
                return true;
            break;
        case Resource::Memory:
            if (r.memory && Overlaps(base, count, r.memBase, r.memCount))
                return true;
            break;
        }
    }
    return false;
}

void LoadDevices(Driver::State& s)
{
    s.devices[ondula::lowered(wire::kDefaultDevice)] =
        MakeDevice(s, wire::kDefaultDevice, DeviceResources{});
    Registry& reg = *s.options.registry;
    registry::HKEY parent = 0;
    if (reg.OpenKey(registry::kLocalMachine, DeviceParentPath(s.options.platformId),
                    registry::kKeyRead, &parent))
        return;
    char name[256];
    for (uint32_t i = 0;; ++i) {
        uint32_t chars = sizeof name;
        registry::Status found = reg.EnumKey(parent, i, name, &chars);
        if (found == win32::kNoMoreItems)
            break;
        DeviceResources r;
        if (found || !ReadResources(reg, s.options.platformId, name, &r) || r.dynamic)
            continue;
        StartDevice(s, name);
    }
    reg.CloseKey(parent);
}

Status StartDevice(Driver::State& s, const std::string& name)
{
    if (FindDevice(s, name))
        return win32::kAlreadyExists;
    DeviceResources r;
    if (name.empty() || !ReadResources(*s.options.registry, s.options.platformId, name, &r))
        return win32::kFileNotFound;
    auto d = MakeDevice(s, name, r);
    if (ResourcesConflict(s, *d))
        return win32::kInvalidAddress;
    s.devices[ondula::lowered(name)] = d;
    return win32::kSuccess;
}

Status StopDevice(Driver::State& s, const std::string& request)
{
    std::string name = request;
    if (s.options.platformId == wire::kPlatformNt) {
        const std::string prefix = wire::kDevicePrefix;
        if (!ondula::equal_ignoring_case(name.substr(0, prefix.size()), prefix))
            return win32::kFileNotFound;
        name = name.substr(prefix.size());
    }
    auto d = FindDevice(s, name);
    if (!d)
        return win32::kFileNotFound;
    if (d->name == wire::kDefaultDevice)
        return win32::kAccessDenied;
    AbortWaits(s, *d, kInvalidHandle, win32::kOperationAborted);
    ReleaseMemory(s, *d);
    d->running = false;
    s.devices.erase(ondula::lowered(name));
    return win32::kSuccess;
}

} // namespace qdriver

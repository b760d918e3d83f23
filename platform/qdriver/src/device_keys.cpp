#include <qdriver/device_keys.h>

#include <qdriver/wire.h>

namespace qdriver {

std::string ServiceKeyPath(int platformId)
{
    return platformId == wire::kPlatformNt
               ? std::string("System\\CurrentControlSet\\Services\\") + kDriverName
               : std::string("System\\CurrentControlSet\\Services\\VxD\\") + kDriverName;
}

std::string DeviceParentPath(int platformId)
{
    return platformId == wire::kPlatformNt ? ServiceKeyPath(platformId) + "\\Parameters"
                                           : ServiceKeyPath(platformId);
}

registry::Status ProvisionWorkbenchDevices(registry::Registry& registry, int platformId)
{
    struct Device {
        const char* name;
        bool internalBus;
        uint32_t base;
        uint32_t count;
    };
    for (const Device& device : {Device{"c832", false, 0x210, 4}, Device{"lpt", true, 0x378, 2}}) {
        const std::string path = DeviceParentPath(platformId) + "\\" + device.name;
        registry::HKEY key = 0;
        if (registry.OpenKey(registry::kLocalMachine, path, registry::kKeyRead, &key) ==
            win32::kSuccess) {
            registry.CloseKey(key);
            continue;
        }
        if (auto s =
                registry.CreateKey(registry::kLocalMachine, path, registry::kKeyAllAccess, &key))
            return s;
        registry::Status s = win32::kSuccess;
        if (device.internalBus) {
            s = registry.SetDword(key, kInterfaceType, 0);
            if (!s)
                s = registry.SetDword(key, kBusNumber, 0);
        }
        if (!s)
            s = registry.SetDword(key, kPortBase, device.base);
        if (!s)
            s = registry.SetDword(key, kPortCount, device.count);
        if (!s)
            s = registry.SetDword(key, kIgnoreConflicts, 1);
        if (!s)
            s = registry.Flush(key);
        registry.CloseKey(key);
        if (s)
            return s;
    }
    return win32::kSuccess;
}

} // namespace qdriver

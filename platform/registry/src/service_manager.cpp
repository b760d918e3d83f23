#include <registry/service_manager.h>

namespace registry {

Status CreateService(Registry& registry, const ServiceConfig& service)
{
    if (service.name.empty() || service.name.find_first_of("\\/") != std::string::npos)
        return win32::kInvalidName;
    const std::string path = "System\\CurrentControlSet\\Services\\" + service.name;
    HKEY key = 0;
    if (registry.OpenKey(kLocalMachine, path, kKeyRead, &key) == win32::kSuccess) {
        uint32_t type = 0;
        Status existing = registry.QueryDword(key, "Type", &type);
        registry.CloseKey(key);
        if (existing == win32::kSuccess)
            return win32::kServiceExists;
    }
    if (Status s = registry.CreateKey(kLocalMachine, path, kKeyAllAccess, &key))
        return s;
    Status s = registry.SetDword(key, "Type", service.type);
    if (!s)
        s = registry.SetDword(key, "Start", service.startType);
    if (!s)
        s = registry.SetDword(key, "ErrorControl", service.errorControl);
    if (!s)
        s = registry.SetString(key, "ImagePath", ValueType::ExpandSz, service.imagePath);
    if (!s)
        s = registry.SetString(key, "DisplayName", ValueType::Sz, service.displayName);
    if (!s)
        s = registry.Flush(key);
    registry.CloseKey(key);
    return s;
}

} // namespace registry

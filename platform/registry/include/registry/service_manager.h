#pragma once
// The part of a service control manager that installing a kernel driver needs:
// a service is a key below "System\CurrentControlSet\Services" of the
// local-machine hive, holding its type, start mode, error control and image.
#include <string>

#include <registry/export.h>
#include <registry/registry.h>

namespace registry {

inline constexpr uint32_t kServiceKernelDriver = 1;
inline constexpr uint32_t kServiceAutoStart = 2;
inline constexpr uint32_t kServiceErrorNormal = 1;

struct ServiceConfig {
    std::string name;
    std::string displayName;
    uint32_t type = kServiceKernelDriver;
    uint32_t startType = kServiceAutoStart;
    uint32_t errorControl = kServiceErrorNormal;
    std::string imagePath;
};

/// Registers a service: writes Type, Start, ErrorControl, ImagePath and
/// DisplayName under its key. kServiceExists when the service is already
/// registered (its key holds a Type), leaving it as it was; kInvalidName for
/// an empty name or one holding a slash or backslash, which would name the
/// services' key itself or a key below another service.
REGISTRY_API Status CreateService(Registry& registry, const ServiceConfig& service);

} // namespace registry

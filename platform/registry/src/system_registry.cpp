#include <cstdlib>
#include <mutex>

#include <registry/registry.h>

namespace registry {
namespace {

std::mutex systemMutex;
std::shared_ptr<Registry> systemRegistry;

} // namespace

std::filesystem::path DefaultRegistryPath()
{
    if (const char* explicitPath = std::getenv("ONDULA_REGISTRY"); explicitPath && *explicitPath)
        return explicitPath;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::filesystem::path(config) / "ondula" / "registry";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".config" / "ondula" / "registry";
}

std::shared_ptr<Registry> System()
{
    std::lock_guard lock(systemMutex);
    if (!systemRegistry)
        systemRegistry = Registry::FromFile(DefaultRegistryPath());
    return systemRegistry;
}

void UseSystem(std::shared_ptr<Registry> registry)
{
    std::lock_guard lock(systemMutex);
    systemRegistry = std::move(registry);
}

} // namespace registry

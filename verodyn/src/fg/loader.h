// Finding, loading and initialising the plug-in of an interface name.
#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <fgint/fgint.h>
#include <verodyn/status.h>

namespace verodyn::fg {

// A dlopen handle, closed with its owner.
class PluginLibrary {
public:
    PluginLibrary() = default;
    explicit PluginLibrary(void* handle) : handle_(handle) { }
    PluginLibrary(PluginLibrary&& other) noexcept : handle_(std::exchange(other.handle_, nullptr))
    {
    }
    PluginLibrary& operator=(PluginLibrary&& other) noexcept;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;
    ~PluginLibrary();

    void* symbol(const char* name) const;

private:
    void* handle_ = nullptr;
};

// One initialised interface. `lock` serialises instance binding (open, close)
// and info questions; it is taken before any instance's own lock.
struct Interface {
    PluginLibrary library;
    FGClass cls{};
    std::mutex lock;
};

// The folders searched, in order: those of ONDULA_PLUGIN_PATH, then the folder
// of the running program.
std::vector<std::filesystem::path> plugin_folders();

// The file VFG<name>.so (any letter case) in the first folder that has one;
// empty when none has.
std::filesystem::path find_plugin(const std::string& name);

// The interface `name` (any letter case), loaded and initialised once. On
// failure the status says why (VERR_FG_NO_PLUGIN, VERR_FG_LOAD,
// VERR_FG_NO_INIT, VERR_FG_INIT or FGInit's own number), `detail` names the
// file, and a later call tries again. The interface lives until the process ends.
Vstatus load_interface(const std::string& name, Vproc_handle proc_id, Interface** out,
                       std::string* detail);

} // namespace verodyn::fg

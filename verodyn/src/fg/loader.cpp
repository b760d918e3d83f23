#include "loader.h"

#include "verodyn/src/edition.h"
#include <base/text_case.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "plugin_calls.h"
#include <fgint/fghelpers.h>

namespace fs = std::filesystem;

namespace verodyn::fg {

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept
{
    if (this != &other) {
        if (handle_)
            dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

PluginLibrary::~PluginLibrary()
{
    if (handle_)
        dlclose(handle_);
}

void* PluginLibrary::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

namespace {

// Interface names are file-name parts: no folder separators, not empty.
bool valid_name(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

struct Registry {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<Interface>> interfaces; // by lower-case name
};

// Never destroyed: open instances keep pointing into their interfaces until
// the process ends, and plug-ins are not called back while it ends.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

// FGInit must write these marks; the host presets others to see that it did.
void preset_marks(FGClass* cls)
{
    cls->init_mark = 0;
    cls->init_flag = 0;
    cls->init_zero = -1;
}

bool marks_written(const FGClass& cls)
{
    return cls.init_mark == 2 && cls.init_flag == 1 && cls.init_zero == 0 &&
           cls.max_instances >= 1 && cls.max_instances <= FG_MAX_INSTANCES;
}

} // namespace

std::vector<fs::path> plugin_folders()
{
    std::vector<fs::path> folders;
    if (const char* list = std::getenv("ONDULA_PLUGIN_PATH")) {
        std::string rest = list;
        for (std::size_t start = 0; start <= rest.size();) {
            const std::size_t end = std::min(rest.find(':', start), rest.size());
            if (end > start)
                folders.emplace_back(rest.substr(start, end - start));
            start = end + 1;
        }
    }
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        folders.push_back(program.parent_path());
    return folders;
}

fs::path find_plugin(const std::string& name)
{
    const std::string wanted = ondula::lowered(verodyn::detail::kPluginPrefix + name) + ".so";
    for (const fs::path& folder : plugin_folders()) {
        std::error_code error;
        std::vector<fs::path> matches;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error))
            if (ondula::lowered(it->path().filename().string()) == wanted)
                matches.push_back(it->path());
        if (!matches.empty())
            return *std::min_element(matches.begin(), matches.end());
    }
    return {};
}

Vstatus load_interface(const std::string& name, Vproc_handle proc_id, Interface** out,
                       std::string* detail)
{
    if (!valid_name(name)) {
        *detail = "interface name \"" + name + "\"";
        return VERR_PARAM;
    }
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    const std::string key = ondula::lowered(name);
    if (const auto it = r.interfaces.find(key); it != r.interfaces.end()) {
        *out = it->second.get();
        return V_OK;
    }
    const fs::path file = find_plugin(name);
    if (file.empty()) {
        *detail = verodyn::detail::kPluginPrefix + name + ".so";
        return VERR_FG_NO_PLUGIN;
    }
    *detail = file.string();
    auto iface = std::make_unique<Interface>();
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (const char* why = dlerror())
            *detail = why;
        return VERR_FG_LOAD;
    }
    iface->library = PluginLibrary(handle);
    const auto init = reinterpret_cast<FGInitProc>(iface->library.symbol("FGInit"));
    if (!init)
        return VERR_FG_NO_INIT;
    fg_copy_text(iface->cls.interface_name, sizeof iface->cls.interface_name, name.c_str());
    preset_marks(&iface->cls);
    const Vstatus status = guarded_call(detail, [&] { return init(proc_id, &iface->cls); });
    if (status != FG_SUCCESS)
        return status;
    if (!marks_written(iface->cls))
        return VERR_FG_INIT;
    detail->clear();
    *out = iface.get();
    r.interfaces.emplace(key, std::move(iface));
    return V_OK;
}

} // namespace verodyn::fg

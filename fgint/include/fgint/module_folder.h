// The folder a plug-in was loaded from, where the libraries it loads lie.
#pragma once

#include <dlfcn.h>

#include <string>

namespace fgint {

// With its trailing '/'; "" when it cannot be told. Static, so that the
// address asked about lies in the module that calls it.
static inline std::string ModuleFolder()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ModuleFolder), &info) || !info.dli_fname)
        return "";
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

} // namespace fgint

#include <fgint/shared_library.h>

#include <dlfcn.h>

namespace fg {

bool SharedLibrary::Open(const std::string& path)
{
    Close();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr;
}

void* SharedLibrary::Symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

bool SharedLibrary::Close()
{
    const bool closed = !handle_ || dlclose(handle_) == 0;
    handle_ = nullptr;
    return closed;
}

} // namespace fg

#include <dvl/digitizer_module.h>

#include <dlfcn.h>

#include <filesystem>

namespace dvl {

namespace {

// The folder this library was loaded from.
std::filesystem::path library_folder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&library_folder), &info) == 0 || !info.dli_fname)
        return {};
    return std::filesystem::path(info.dli_fname).parent_path();
}

std::string last_dl_error()
{
    const char* text = dlerror();
    return text ? text : "";
}

} // namespace

void DigitizerModule::Closer::operator()(void* handle) const { dlclose(handle); }

DvlStatus DigitizerModule::Open(const std::string& name, const std::string& command_export)
{
    handle_.reset();
    command_ = nullptr;
    error_.clear();
    const std::string file =
        name.find('/') != std::string::npos ? name : (library_folder() / (name + ".so")).string();
    std::unique_ptr<void, Closer> handle(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!handle) {
        error_ = last_dl_error();
        return DVL_MODULE_NOT_FOUND;
    }
    auto entry = reinterpret_cast<DvlModuleEntryFn>(dlsym(handle.get(), DVL_MODULE_ENTRY));
    if (!entry) {
        error_ = last_dl_error();
        return DVL_MODULE_NO_ENTRY;
    }
    if (entry(handle.get()) != 1) {
        error_ = file + ": module entry refused";
        return DVL_MODULE_REFUSED;
    }
    auto command = reinterpret_cast<DvlCommandFn>(dlsym(handle.get(), command_export.c_str()));
    if (!command) {
        error_ = last_dl_error();
        return DVL_MODULE_NO_EXPORT;
    }
    handle_ = std::move(handle);
    command_ = command;
    return DVL_OK;
}

void DigitizerModule::Send(void* packet) const
{
    if (command_)
        command_(packet);
}

} // namespace dvl

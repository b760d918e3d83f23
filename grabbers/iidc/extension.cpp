#include "extension.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include <fgint/module_folder.h>

namespace iidc {

namespace {

template <typename Proc> Proc Entry(void* handle, const char* name)
{
    return reinterpret_cast<Proc>(dlsym(handle, name));
}

} // namespace

void Extension::Closer::operator()(void* handle) const { dlclose(handle); }

void Extension::Load(uint32_t vendor)
{
    Unload();
    char name[32];
    std::snprintf(name, sizeof name, "FEX%06X.so", vendor & 0xFFFFFF);
    handle_.reset(dlopen((fgint::ModuleFolder() + name).c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!handle_)
        return;
    create_camera_ = Entry<FexCreateCameraProc>(handle_.get(), "CreateCamera");
    set_lut_ = Entry<FexSetLutProc>(handle_.get(), "SetLut");
    get_lut_ = Entry<FexGetLutProc>(handle_.get(), "GetLut");
    set_param_ = Entry<FexSetParamProc>(handle_.get(), "SetParam");
    get_param_ = Entry<FexGetParamProc>(handle_.get(), "GetParam");
    if (!create_camera_ || !set_lut_ || !get_lut_ || !set_param_ || !get_param_)
        Unload();
}

void Extension::Unload()
{
    handle_.reset();
    create_camera_ = nullptr;
    set_lut_ = nullptr;
    get_lut_ = nullptr;
    set_param_ = nullptr;
    get_param_ = nullptr;
}

} // namespace iidc

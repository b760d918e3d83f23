#include "extension.h"

#include <cstdio>
#include <string>

#include <fgint/module_folder.h>

namespace iidc {

void Extension::Load(uint32_t vendor)
{
    Unload();
    char name[32];
    std::snprintf(name, sizeof name, "FEX%06X.so", vendor & 0xFFFFFF);
    if (!library_.Open(fgint::ModuleFolder() + name))
        return;
    create_camera_ = library_.Entry<FexCreateCameraProc>("CreateCamera");
    set_lut_ = library_.Entry<FexSetLutProc>("SetLut");
    get_lut_ = library_.Entry<FexGetLutProc>("GetLut");
    set_param_ = library_.Entry<FexSetParamProc>("SetParam");
    get_param_ = library_.Entry<FexGetParamProc>("GetParam");
    if (!create_camera_ || !set_lut_ || !get_lut_ || !set_param_ || !get_param_)
        Unload();
}

void Extension::Unload()
{
    library_.Close();
    create_camera_ = nullptr;
    set_lut_ = nullptr;
    get_lut_ = nullptr;
    set_param_ = nullptr;
    get_param_ = nullptr;
}

} // namespace iidc

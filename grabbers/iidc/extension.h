// A camera vendor's extension library, loaded beside the plug-in.
#pragma once

#include <cstdint>

#include <fgint/shared_library.h>
#include <iidc/extension_api.h>

namespace iidc {

class Extension {
public:
    // Loads FEX<vendor>.so from the plug-in's folder; stays unloaded when the
    // file is missing or lacks one of the five entry points.
    void Load(uint32_t vendor);
    void Unload();
    bool Loaded() const { return library_.IsOpen(); }

    CFGCamera* CreateCamera() const { return create_camera_(); }
    FGstatus SetLut(CFGCamera* camera, const int32_t* red, const int32_t* green,
                    const int32_t* blue, int32_t num) const
    {
        return set_lut_(camera, red, green, blue, num);
    }
    FGstatus GetLut(CFGCamera* camera, int32_t* red, int32_t* green, int32_t* blue,
                    int32_t* num) const
    {
        return get_lut_(camera, red, green, blue, num);
    }
    FGstatus SetParam(CFGCamera* camera, const char* name, const Vcpar* values, int32_t num) const
    {
        return set_param_(camera, name, values, num);
    }
    FGstatus GetParam(CFGCamera* camera, const char* name, Vcpar* values, int32_t* num) const
    {
        return get_param_(camera, name, values, num);
    }

private:
    fg::SharedLibrary library_;
    FexCreateCameraProc create_camera_ = nullptr;
    FexSetLutProc set_lut_ = nullptr;
    FexGetLutProc get_lut_ = nullptr;
    FexSetParamProc set_param_ = nullptr;
    FexGetParamProc get_param_ = nullptr;
};

} // namespace iidc

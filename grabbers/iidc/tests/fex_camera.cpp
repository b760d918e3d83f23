// A camera vendor's extension library for the tests: its own camera class
// keeps a look-up table and one parameter, "fex_gain". Built without
// FEX_PARTIAL it exports all five entry points, with it all but GetParam.
#include <string_view>
#include <vector>

#include <iidc/extension_api.h>

namespace {

class FexCamera final : public CFGCamera {
public:
    std::vector<int32_t> lut[3];
    int32_t gain = 0;
};

FexCamera& Of(CFGCamera* camera) { return *static_cast<FexCamera*>(camera); }

} // namespace

#define FEX_EXPORT extern "C" __attribute__((visibility("default")))

FEX_EXPORT CFGCamera* CreateCamera() { return new FexCamera; }

FEX_EXPORT FGstatus SetLut(CFGCamera* camera, const int32_t* red, const int32_t* green,
                           const int32_t* blue, int32_t num)
{
    const int32_t* sources[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c)
        Of(camera).lut[c].assign(sources[c], sources[c] + num);
    return FG_SUCCESS;
}

FEX_EXPORT FGstatus GetLut(CFGCamera* camera, int32_t* red, int32_t* green, int32_t* blue,
                           int32_t* num)
{
    int32_t* targets[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c)
        for (size_t i = 0; i < Of(camera).lut[c].size(); ++i)
            targets[c][i] = Of(camera).lut[c][i];
    *num = int32_t(Of(camera).lut[0].size());
    return FG_SUCCESS;
}

FEX_EXPORT FGstatus SetParam(CFGCamera* camera, const char* name, const Vcpar* values, int32_t num)
{
    if (std::string_view(name) != "fex_gain" || num != 1 || values[0].type != VPAR_INT)
        return FG_ERR_PARAM_UNKNOWN;
    Of(camera).gain = values[0].par.l;
    return FG_SUCCESS;
}

#ifndef FEX_PARTIAL
FEX_EXPORT FGstatus GetParam(CFGCamera* camera, const char* name, Vcpar* values, int32_t* num)
{
    if (std::string_view(name) != "fex_gain" || *num < 1)
        return FG_ERR_PARAM_UNKNOWN;
    values[0] = Vcpar{};
    values[0].par.l = Of(camera).gain;
    values[0].type = VPAR_INT;
    *num = 1;
    return FG_SUCCESS;
}
#endif

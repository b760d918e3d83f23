#include "kernels/z_scale.h"

namespace metrology {

float SpeckleZScale(int jumps, float wavelength_nm)
{
    return float((jumps + 1) * wavelength_nm * 5e-7 / 256);
}

float MoireZScale(int jumps, float pitch_mm) { return (jumps + 1) * pitch_mm / 256; }

std::optional<float> ComputeZScale(ZScaleMethod method, int jumps, float wavelength_nm,
                                   float pitch_mm)
{
    if (jumps < 0 || wavelength_nm < 0 || pitch_mm < 0)
        return std::nullopt;
    return method == ZScaleMethod::Speckle ? SpeckleZScale(jumps, wavelength_nm)
                                           : MoireZScale(jumps, pitch_mm);
}

} // namespace metrology

#include "z_scale.h"

#include <cmath>

namespace metrology {

// M + 1 in double: M may be the largest int.
float SpeckleZScale(int jumps, float wavelength_nm)
{
    return float((double(jumps) + 1) * wavelength_nm * 5e-7 / 256);
}

float MoireZScale(int jumps, float pitch_mm) { return float((double(jumps) + 1) * pitch_mm / 256); }

std::optional<float> ComputeZScale(ZScaleMethod method, int jumps, float wavelength_nm,
                                   float pitch_mm)
{
    if (jumps < 0 || wavelength_nm < 0 || pitch_mm < 0)
        return std::nullopt;
    const float scale = method == ZScaleMethod::Speckle ? SpeckleZScale(jumps, wavelength_nm)
                                                        : MoireZScale(jumps, pitch_mm);
    // Grey levels per millimetre are later taken as its inverse.
    if (!std::isfinite(scale) || scale <= 0)
        return std::nullopt;
    return scale;
}

} // namespace metrology

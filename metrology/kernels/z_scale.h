// Z scale of a demodulated image: millimetres of height per grey level, from its
// number of phase jumps M. 256 grey levels span M + 1 fringes.
#pragma once

#include <optional>

namespace metrology {

enum class ZScaleMethod { Speckle, Moire };

// Speckle interferometry, half a wavelength per fringe:
// (M + 1) x wavelength(nm) x 5e-7 / 256.
float SpeckleZScale(int jumps, float wavelength_nm);

// Moire, one pitch per fringe: (M + 1) x pitch(mm) / 256.
float MoireZScale(int jumps, float pitch_mm);

// The scale by `method`, or nothing when M is negative, the wavelength or the
// pitch is negative, or the scale is not finite and positive.
std::optional<float> ComputeZScale(ZScaleMethod method, int jumps, float wavelength_nm,
                                   float pitch_mm);

} // namespace metrology

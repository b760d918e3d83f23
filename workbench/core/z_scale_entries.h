// The z-scale dialog's rule: its three entries, read at every tick, give the z
// scale EchZ (millimetres per grey level) or nothing.
#pragma once

#include <optional>
#include <string>

#include "metrology/kernels/z_scale.h"

struct ZScaleEntries {
    metrology::ZScaleMethod method = metrology::ZScaleMethod::Speckle;
    std::string wavelength; // "&Lambda(nm):"
    std::string jumps;      // "&M:"
    std::string pitch;      // "&DeltaZ(mm):"
};

struct ZScaleReading {
    std::optional<float> echZ; // nothing: an entry does not parse or is negative
    int jumps = 0;             // M, when echZ is set
    float pitch = 0;           // the moiré pitch, when echZ is set
    std::string text;          // "EchZ=%1.2e" of EchZ, or "EchZ= ?"
};

ZScaleReading ReadZScaleEntries(const ZScaleEntries& entries);

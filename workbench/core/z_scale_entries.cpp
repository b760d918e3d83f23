#include "z_scale_entries.h"

#include <charconv>

#include "entry_text.h"

ZScaleReading ReadZScaleEntries(const ZScaleEntries& entries)
{
    ZScaleReading reading;
    reading.text = "EchZ= ?";
    const std::optional<float> wavelength = ParseLeadingFloat(entries.wavelength);
    const std::optional<int> jumps = ParseLeadingInt(entries.jumps);
    const std::optional<float> pitch = ParseLeadingFloat(entries.pitch);
    if (!wavelength || !jumps || !pitch)
        return reading;
    reading.echZ = metrology::ComputeZScale(entries.method, *jumps, *wavelength, *pitch);
    if (!reading.echZ)
        return reading;
    reading.jumps = *jumps;
    reading.pitch = *pitch;
    // "%1.2e" whatever the locale's decimal separator.
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, double(*reading.echZ),
                                   std::chars_format::scientific, 2)
                         .ptr;
    reading.text = "EchZ=" + std::string(digits, end);
    return reading;
}

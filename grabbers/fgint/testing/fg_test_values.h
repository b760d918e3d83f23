// What tests of a plug-in hand its callbacks and get back: host images that
// free themselves, and value records.
#pragma once

#include <cstdint>

#include "fgint/fgint.h"

// Host images of one grab, freed with the test's scope.
struct Images {
    VImageRecord record[FG_MAX_CHANNELS] = {};
    int32_t count = 0;
    ~Images()
    {
        for (VImageRecord& image : record)
            VXFree(0, image.owned, __FILE__, __LINE__, 0);
    }
    uint8_t Byte(int channel, int x, int y) const
    {
        return record[channel].pixel.b[y * record[channel].width + x];
    }
    uint16_t Word(int x, int y) const { return record[0].pixel.u[y * record[0].width + x]; }
};

inline Vcpar Int(int32_t value)
{
    Vcpar v{};
    v.par.l = value;
    v.type = VPAR_INT;
    return v;
}

inline Vcpar Text(const char* value)
{
    Vcpar v{};
    v.par.s = value;
    v.type = VPAR_STRING;
    return v;
}

inline Vcpar Real(double value)
{
    Vcpar v{};
    v.par.f = value;
    v.type = VPAR_REAL;
    return v;
}

#include "calibration.h"

#include <cmath>

namespace {

// From 1e-10 to 1e10 in steps of 10.
constexpr int kLargestPowerStep = 20;

float Magnitude(float value)
{
    const float magnitude = std::fabs(value);
    return magnitude == 0 ? 1.0f : magnitude;
}

} // namespace

ScaleEntry EntryOfScale(float scale)
{
    if (1 / scale > 1)
        return {1.0f, 1 / scale};
    return {scale, 1.0f};
}

float ScaleOfEntry(ScaleEntry entry)
{
    return Magnitude(entry.count) / Magnitude(entry.millimetres);
}

bool IsUsableScale(float scale)
{
    return std::isfinite(scale) && scale > 0 && std::isfinite(1 / scale);
}

float UnitFactorXY(int width, float scale)
{
    const float millimetres = width / scale;
    float p = 1e-10f;
    float f = 0;
    for (int step = 0; step < kLargestPowerStep; ++step) {
        p *= 10;
        f = p * millimetres;
        if (std::fabs(f) >= 1)
            return f < 2 && step + 1 < kLargestPowerStep ? p * 10 : p;
    }
    return p;
}

float UnitFactorZ(float scale)
{
    float q = 1e-10f;
    for (int step = 0; step < kLargestPowerStep; ++step) {
        q *= 10;
        if (std::fabs(q * (10 / scale)) > 0.1)
            break;
    }
    return q;
}

void StoreCalibration(bool inMmXY, ScaleEntry xy, bool inMmZ, ScaleEntry z, int width,
                      Calibration* c)
{
    if (inMmXY) {
        const float scale = ScaleOfEntry(xy);
        if (IsUsableScale(scale)) {
            c->scaleXY = scale;
            c->unitFactorXY = UnitFactorXY(width, scale);
        }
    }
    if (inMmZ) {
        const float scale = ScaleOfEntry(z);
        if (IsUsableScale(scale)) {
            c->scaleZ = scale;
            c->unitFactorZ = UnitFactorZ(scale);
        }
    }
    c->calibratedXY = inMmXY;
    c->calibratedZ = inMmZ;
}

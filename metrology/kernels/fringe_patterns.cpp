#include "fringe_patterns.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace metrology {

namespace {

float FloatPi() { return float(4 * std::atan(1.0)); }

// Every row of the plane gets the same greys.
template <class ColumnGrey>
void FillColumns(std::uint8_t* plane, int width, int height, ColumnGrey column_grey)
{
    if (width <= 0 || height <= 0)
        return;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        row[std::size_t(x)] = column_grey(x);
    for (int y = 0; y < height; ++y)
        std::memcpy(plane + std::size_t(y) * std::size_t(width), row.data(), row.size());
}

} // namespace

MireSettings ClampMireSettings(MireSettings settings)
{
    settings.period = std::max(settings.period, 1);
    if (settings.contrast < 0)
        settings.contrast = 0;
    if (settings.contrast > 1.0f)
        settings.contrast = 1.0f;
    settings.mean = std::clamp(settings.mean, 0, 255);
    return settings;
}

std::uint8_t MireGrey(int x, const MireSettings& settings, float half_turns)
{
    const double pi = FloatPi();
    const int period = std::max(settings.period, 1);
    double v = (std::cos(double(x) / period * pi * 2 + pi * half_turns) * settings.contrast + 1) *
               settings.mean;
    if (v < 0)
        v = 0;
    if (v > 255.0)
        v = 255;
    return std::uint8_t(v);
}

std::uint8_t ProjectorFringeGrey(int x, int period, float phase)
{
    const float pi = FloatPi();
    const float p = float(std::max(period, 1));
    const float s = float(std::sin(double((float(x) / p * 2 + phase) * pi)));
    return std::uint8_t((s + 1) * 127);
}

void MakeMirePattern(std::uint8_t* plane, int width, int height, const MireSettings& settings,
                     float half_turns)
{
    FillColumns(plane, width, height, [&](int x) { return MireGrey(x, settings, half_turns); });
}

void MakeFringePattern(std::uint8_t* plane, int width, int height, int period, float phase)
{
    FillColumns(plane, width, height, [&](int x) { return ProjectorFringeGrey(x, period, phase); });
}

} // namespace metrology

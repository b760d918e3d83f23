#include "tone_curves.h"

#include <algorithm>
#include <cmath>

namespace {

uint8_t ClipTruncated(float value) { return static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f)); }

} // namespace

ToneTable LuminanceGammaTable(int luminance, float gamma)
{
    ToneTable table{};
    for (int v = 0; v < 256; ++v) {
        const int lit = std::clamp(v + luminance, 0, 255);
        const auto curved =
            static_cast<float>(std::pow(lit * 0.00392156862745098, double(gamma)) * 255.0);
        table[v] = ClipTruncated(curved);
    }
    return table;
}

ToneTable MultiplyTable(float factor)
{
    ToneTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = ClipTruncated(static_cast<float>(v) * factor);
    return table;
}

void ApplyTable(const ToneTable& table, PlaneBuffers* planes)
{
    for (int c = 0; c < planes->channels; ++c)
        for (uint8_t& v : planes->planes[c])
            v = table[v];
}

// Sinusoidal fringe patterns of vertical fringes: the grey depends on the column only.
#pragma once

#include <cstdint>

namespace metrology {

// Settings of the four "Mire" patterns: period in pixels, contrast C, mean level.
struct MireSettings {
    int period = 30;
    float contrast = 1.0f;
    int mean = 127;
};

// The settings as stored: period at least 1, contrast 0..1, mean 0..255.
MireSettings ClampMireSettings(MireSettings settings);

// The grey of column x of a "Mire" pattern shifted by `half_turns` (0, 0.5, 1.0,
// 1.5 for Mire0 to Mire270): (cos(x / period x 2 pi + pi x half_turns) x C + 1) x mean
// in double precision with pi as a float, 0 below 0, 255 above 255, truncated.
// A period below 1 counts as 1.
std::uint8_t MireGrey(int x, const MireSettings& settings, float half_turns);

// The grey of column x of the projector pattern: s = sin(((x / P) x 2 + phase) x pi)
// in float with P the period as a float, grey (s + 1) x 127 truncated (0..254).
// `phase` is in half turns; a period below 1 counts as 1.
std::uint8_t ProjectorFringeGrey(int x, int period, float phase);

// Fills a width x height byte plane with the "Mire" pattern shifted by `half_turns`.
void MakeMirePattern(std::uint8_t* plane, int width, int height, const MireSettings& settings,
                     float half_turns);

// The projector's width x height plane for a period in pixels and a phase in half turns.
void MakeFringePattern(std::uint8_t* plane, int width, int height, int period, float phase);

} // namespace metrology

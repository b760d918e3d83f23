// The live difference view: the amplified distance of each grey level from
// a reference frame, and the gain as typed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// |(grey - reference) x gain| in single precision, clamped to 255 and
// truncated: gain 8, reference 100, grey 90 gives 80, grey 140 gives 255.
uint8_t AmplifiedDifference(int grey, int reference, int gain);

// AmplifiedDifference of `count` pixels into `result`.
void DifferencePlane(const uint8_t* grey, const uint8_t* reference, std::size_t count, int gain,
                     uint8_t* result);

// The gain a typed text gives, and the text the entry then shows: the
// absolute value of its leading integer ("%d"), at most 32767 (the gain is a
// 16-bit number); 1 for an empty text or one that is not a number.
struct GainEntry {
    int gain = 1;
    std::string text = "1";
};
GainEntry GainFromText(std::string_view text);

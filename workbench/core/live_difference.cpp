#include "live_difference.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "entry_text.h"

namespace {

constexpr int kMaxGain = 32767;

} // namespace

uint8_t AmplifiedDifference(int grey, int reference, int gain)
{
    const float d = std::fabs(static_cast<float>((grey - reference) * gain));
    return static_cast<uint8_t>(std::min(d, 255.0f));
}

void DifferencePlane(const uint8_t* grey, const uint8_t* reference, std::size_t count, int gain,
                     uint8_t* result)
{
    for (std::size_t i = 0; i < count; ++i)
        result[i] = AmplifiedDifference(grey[i], reference[i], gain);
}

GainEntry GainFromText(std::string_view text)
{
    GainEntry entry;
    if (const std::optional<int> typed = ParseLeadingInt(text)) {
        // abs of INT_MIN does not fit: clamp the negative side first.
        entry.gain = std::min(std::abs(std::max(*typed, -kMaxGain)), kMaxGain);
        entry.text = std::to_string(entry.gain);
    }
    return entry;
}

#include "view_cycle.h"

namespace acquisition {

const char* ShowStatusText(int index, bool demodulated)
{
    static const char* const texts[] = {"Image phase 0° visualisée.",
                                        "Image phase 90° visualisée.",
                                        "Image phase 180° visualisée.",
                                        "Image phase 270° visualisée.",
                                        "Image phasée visualisée.",
                                        "Image phasée référence visualisée.",
                                        "Image soustraction modulo 256 visualisée."};
    if (index == kShowResult && demodulated)
        return "Image démodulée visualisée.";
    return index >= 0 && index <= kShowResult ? texts[index] : "";
}

int NextShowIndex(int index, bool hasReference, bool hasResult)
{
    const int last = !hasReference ? kShowPhase : !hasResult ? kShowReference : kShowResult;
    return index + 1 > last ? 0 : index + 1;
}

void SubtractMod256(const std::uint8_t* phase, const std::uint8_t* reference, std::uint8_t* out,
                    std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::uint8_t(phase[i] - reference[i]);
}

TileSize MosaicTileSize(int width, int height)
{
    const int tileWidth = 2 * height / 3;
    return {tileWidth, width > 0 ? height * tileWidth / width : 0};
}

} // namespace acquisition

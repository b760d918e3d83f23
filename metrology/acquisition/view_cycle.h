// The results a phase page shows one after another in its result document,
// and the subtraction of a reference phase.
#pragma once

#include <cstddef>
#include <cstdint>

namespace acquisition {

// What the viewing cycle shows at an index: 0..3 the frames, 4 the phase,
// 5 the reference, 6 the second result (subtraction or demodulation).
enum ShowIndex { kShowFrame0 = 0, kShowPhase = 4, kShowReference = 5, kShowResult = 6 };

// The status text of index 0..6 (UTF-8); `demodulated` names the projector
// page's second result, else the subtraction's.
const char* ShowStatusText(int index, bool demodulated);

// The index after `index`: back to 0 after 4 without a reference, after 5
// with a reference and no second result, after 6 with both.
int NextShowIndex(int index, bool hasReference, bool hasResult);

// Each byte (phase - reference) modulo 256.
void SubtractMod256(const std::uint8_t* phase, const std::uint8_t* reference, std::uint8_t* out,
                    std::size_t count);

// The tile of the "Im0_270" mosaic of a width x height camera image: width
// 2h/3 and height h x (2h/3) / w, in integers.
struct TileSize {
    int width;
    int height;
};
TileSize MosaicTileSize(int width, int height);

} // namespace acquisition

// Four-step phase shifting: the quadrant function, the per-pixel grey rule and
// the whole-image computation that every phase image of the workbench goes through.
#pragma once

#include <cstddef>
#include <cstdint>

namespace metrology {

// A wrapped phase image holds one byte per pixel, row by row: 256 grey levels make
// one fringe. The grey of a phase in radians is phase x 255 / 6.28, so phase 0 is
// grey 0 and a full turn of 6.28 is grey 255.
struct WrappedPhase8 {
    static constexpr double kGreyPerRadian = 40.60509554140127;
    static constexpr int kLevelsPerFringe = 256;

    // The grey of a phase: phase x kGreyPerRadian, 0 below 0, 255 above 255,
    // otherwise truncated toward zero.
    static std::uint8_t Grey(float phase);
};

// The quadrant function: the phase in radians, in [0, 6.28], of num / den, where
// num = i270 - i90 and den = i0 - i180. Returns 1e10 when |den| < 1e-8. Keeps the
// historical float rounding and the constants 3.1415 and 6.28; the sign tests read
// the float's sign bit, so +0.0 is not positive and -0.0 counts as negative. A zero
// numerator gives 6.28 for den > 0 and the half turn 3.1415 for den < 0.
float ComputePhase(float num, float den);

// The grey of one pixel from its four grey values a quarter fringe apart.
// When i0 = i180 the phase is 0 for i270 = i90, a quarter turn (grey 63) for
// i270 > i90 and three quarters (grey 191) for i270 < i90; otherwise
// WrappedPhase8::Grey(ComputePhase(i270 - i90, i0 - i180)).
std::uint8_t PhaseGrey(int i0, int i90, int i180, int i270);

// PhaseGrey over `count` pixels of four byte planes into `result`. The grey
// depends only on the two differences, so it is read from a table built once.
void FourImagePhase(const std::uint8_t* i0, const std::uint8_t* i90, const std::uint8_t* i180,
                    const std::uint8_t* i270, std::uint8_t* result, std::size_t count);

// A source image as byte planes: one plane (grey) or three or more (R, G, B first).
struct ImagePlanes {
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::uint8_t* plane[3] = {nullptr, nullptr, nullptr};
};

enum class PlaneStatus {
    Ok,
    SizeMismatch, // the image's size differs from the one asked for
    NoPixels,     // no channel or a missing plane: the destination is all 0
};

// Text shown once per source image whose size differs from the first image's.
inline constexpr const char* kImageSizeMessage = "Erreur sur taille image !";

// Writes a width x height grey plane from `image`: one channel is copied, three
// give (30 R + 59 G + 11 B) / 100 in integer arithmetic (two give their first
// channel). On a size mismatch only the overlap is read and the rest is 0.
PlaneStatus ImageToPlane(const ImagePlanes& image, int width, int height, std::uint8_t* plane);

} // namespace metrology

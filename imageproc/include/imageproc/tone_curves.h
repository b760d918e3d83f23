// Curves that change every byte of an image on its own: brightness and gamma,
// and multiplication by a constant. Each result depends only on the byte, so
// a curve is a table of 256 entries, exact and fast.
#pragma once

#include <array>
#include <cstdint>

#include <imageproc/plane_buffers.h>

using ToneTable = std::array<uint8_t, 256>;

// v + luminance clipped to 0..255, then (v x 0.00392156862745098) raised to
// `gamma`, times 255, in double precision held in single precision, clipped to
// 0..255 and truncated. Gamma 1 with luminance 0 is the identity.
ToneTable LuminanceGammaTable(int luminance, float gamma);

// v x factor in single precision, clipped to 0..255 and truncated.
ToneTable MultiplyTable(float factor);

// Every byte of the planes of the image's channels (the first one, or all
// three) through the table.
void ApplyTable(const ToneTable& table, PlaneBuffers* planes);

// The brightness slider (0..100) gives luminance position - 50; the gamma
// slider (1..200) position x 0.01 and the multiplication slider (1..100)
// position x 0.1, both held in single precision.
inline int LuminanceOfPosition(int position) { return position - 50; }
inline float GammaOfPosition(int position) { return static_cast<float>(position * 0.01); }
inline float CoefficientOfPosition(int position) { return static_cast<float>(position * 0.1); }

// Two-dimensional complex FFTs through cached FFTW plans.
#pragma once

#include <complex>

namespace verodyn::detail {

enum class FftDirection { Forward, Inverse };

// Transforms the width x height complex samples at `data` in place, unnormalised.
// `data` must be 64-byte aligned (image planes are). Plans are made once per
// size and direction and shared by all threads; throws std::bad_alloc when FFTW
// cannot make a plan.
void fft_in_place(std::complex<float>* data, int width, int height, FftDirection direction);

} // namespace verodyn::detail

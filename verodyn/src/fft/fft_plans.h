// Two-dimensional transforms between real samples and their half spectrum,
// through FFTW plans made once per size and kind and shared by all threads.
// Arrays must be 64-byte aligned (image planes are); both functions throw
// std::bad_alloc when FFTW cannot make a plan.
#pragma once

#include <complex>

namespace verodyn::detail {

// A half spectrum is columns 0 .. width / 2 of a width x height spectrum:
// height rows of width / 2 + 1 complex values. The spectrum of real samples is
// Hermitian, so its half spectrum gives it whole.

// The unnormalised forward transform, in place, of width x height real samples
// into their half spectrum at `data`. Before, row y of the samples is the first
// `width` floats of row y of the half spectrum; the floats after them are unused.
void fft_real_to_half(std::complex<float>* data, int width, int height);

// The unnormalised inverse transform of the half spectrum `in` of a Hermitian
// spectrum (overwritten) into width x height real samples at `out`.
void fft_half_to_real(std::complex<float>* in, float* out, int width, int height);

} // namespace verodyn::detail

// Marks a hot loop to be compiled once more for AVX2, the copy chosen by the
// CPU when the library loads (GCC). ThreadSanitizer cannot run that choice,
// which happens before it is ready, and clang does not clone templates, so
// those builds keep the plain copy only.
#pragma once

#if defined(__clang__) || defined(__SANITIZE_THREAD__)
#define ONDULA_AVX2_CLONES
#else
#define ONDULA_AVX2_CLONES [[gnu::target_clones("avx2", "default")]]
#endif

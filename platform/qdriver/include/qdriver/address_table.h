#pragma once
// Tokens that stand for user addresses in 32-bit request words (see wire.h).
#include <cstdint>

#include <qdriver/export.h>

namespace qdriver {

/// A nonzero token for `address` (0 for a null address).
QDRIVER_API uint32_t RegisterAddress(void* address);
/// The address of a live token, or null.
QDRIVER_API void* AddressOf(uint32_t token);
/// Ends a token; 0 and unknown tokens are ignored.
QDRIVER_API void ReleaseAddress(uint32_t token);

} // namespace qdriver

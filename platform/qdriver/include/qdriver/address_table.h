#pragma once
// Tokens that stand for user addresses in 32-bit request words (see wire.h).
#include <cstdint>

namespace qdriver {

/// A nonzero token for `address` (0 for a null address).
uint32_t RegisterAddress(void* address);
/// The address of a live token, or null.
void* AddressOf(uint32_t token);
/// Ends a token; 0 and unknown tokens are ignored.
void ReleaseAddress(uint32_t token);

} // namespace qdriver

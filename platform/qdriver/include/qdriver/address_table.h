#pragma once
// Tokens that stand for user addresses in 32-bit request words (see wire.h).
#include <cstdint>

#include <qdriver/export.h>

namespace qdriver {

/// A nonzero token for `address` (0 for a null address), which may stand for
/// the `extent` bytes from there on.
QDRIVER_API uint32_t RegisterAddress(void* address, uint64_t extent = 0);
/// Whether the `length` bytes from `address` on lie within the extent of one
/// live token: memory that is still there to be used.
QDRIVER_API bool IsLiveRange(const void* address, uint64_t length);
/// The address of a live token, or null.
QDRIVER_API void* AddressOf(uint32_t token);
/// Ends a token; 0 and unknown tokens are ignored.
QDRIVER_API void ReleaseAddress(uint32_t token);

} // namespace qdriver

#pragma once
// Low-level error texts: printed through the host only while it asks for them.
#include <dshow/hresult.h>

namespace directshow {

void LowError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "%8X" of a COM result.
inline unsigned Code(dshow::HRESULT hr) { return unsigned(hr); }

} // namespace directshow

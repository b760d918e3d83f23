// Low-level error texts, printed through the host only while VDoLowError is set.
#pragma once

#include <cstdint>

namespace iidc {

// Prints "<description> (<call>=<code>)." or, without a call, the description alone.
void LowError(const char* description, const char* call = nullptr, uint32_t code = 0);

// True for FCE_NOERROR; otherwise prints `description` with `call` and the code.
bool CameraOk(uint32_t code, const char* description, const char* call);

} // namespace iidc

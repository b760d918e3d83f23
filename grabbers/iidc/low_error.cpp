#include "low_error.h"

#include <cstdio>

#include <fgint/fgint.h>

namespace iidc {

void LowError(const char* description, const char* call, uint32_t code)
{
    if (!VDoLowError)
        return;
    char text[512];
    if (call)
        std::snprintf(text, sizeof text, "%s (%s=%d).", description, call, int(code));
    else
        std::snprintf(text, sizeof text, "%s", description);
    IOPrintErrorMessage(text);
}

bool CameraOk(uint32_t code, const char* description, const char* call)
{
    if (code == 0)
        return true;
    LowError(description, call, code);
    return false;
}

} // namespace iidc

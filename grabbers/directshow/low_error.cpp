#include "low_error.h"

#include <cstdarg>
#include <cstdio>

#include <fgint/fgint.h>

namespace directshow {

void LowError(const char* format, ...)
{
    if (!VDoLowError)
        return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    IOPrintErrorMessage(text);
}

} // namespace directshow

#include "sequence_texts.h"

#include <cstdarg>
#include <cstdio>

#include "sequence_ports.h"

namespace acquisition {

std::string Printf(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string GrabFailureText(const FrameSource& frames)
{
    const std::string failure = frames.Failure();
    return failure.empty() ? kLiveFailedText : failure;
}

} // namespace acquisition

#include <cstdio>
#include <iostream>
#include <mutex>

#include "debug_output.h"
#include "platform.h"
#include <hwaccess/client.h>
#include <qdriver/transport.h>

namespace hw {
namespace {

std::mutex sinkMutex;
std::function<void(std::string_view)> debugSink;
std::mutex platformMutex;
int cachedPlatform = -1;

constexpr size_t kTraceBufferSize = 512;

} // namespace

void WriteDebugOutput(std::string_view text)
{
    std::lock_guard lock(sinkMutex);
    if (debugSink)
        debugSink(text);
    else
        std::cerr << text << std::flush;
}

void SetDebugSink(std::function<void(std::string_view)> sink)
{
    std::lock_guard lock(sinkMutex);
    debugSink = std::move(sink);
}

int PlatformIdCached()
{
    std::lock_guard lock(platformMutex);
    if (cachedPlatform != -1)
        return cachedPlatform;
    int id = qdriver::PlatformId();
    if (id == qdriver::wire::kPlatform9x || id == qdriver::wire::kPlatformNt)
        cachedPlatform = id;
    return id;
}

void ForgetPlatformId()
{
    std::lock_guard lock(platformMutex);
    cachedPlatform = -1;
}

BOOL IsOnNT() { return PlatformIdCached() == qdriver::wire::kPlatformNt; }

BOOL IsOn95() { return PlatformIdCached() == qdriver::wire::kPlatform9x; }

void HwTraceV(const char* format, va_list args)
{
    char buffer[kTraceBufferSize];
    if (!format || std::vsnprintf(buffer, sizeof buffer, format, args) < 0)
        return;
    WriteDebugOutput(buffer);
}

void HwTrace(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    HwTraceV(format, args);
    va_end(args);
}

void HwAssertionFailure(const char* file, int line)
{
    HwTrace("Quenlo Assertion Failed: File %s, Line %d\n", file ? file : "?", line);
}

} // namespace hw

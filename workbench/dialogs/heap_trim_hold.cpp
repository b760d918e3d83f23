#include "heap_trim_hold.h"

#include <malloc.h>

namespace {

constexpr int kKeptBytes = 256 << 20;
// The C library's own default.
constexpr int kDefaultTrimBytes = 128 << 10;

int holders = 0;

} // namespace

HeapTrimHold::HeapTrimHold()
{
    if (holders++ == 0)
        mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}

HeapTrimHold::~HeapTrimHold()
{
    if (--holders == 0) {
        mallopt(M_TRIM_THRESHOLD, kDefaultTrimBytes);
        malloc_trim(0);
    }
}

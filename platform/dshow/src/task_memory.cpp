// Task memory, counted so that tests see blocks nobody freed.
#include <atomic>
#include <cstdlib>

#include <dshow/com.h>

namespace dshow {
namespace {

std::atomic<long> g_blocks{0};

} // namespace

void* CoTaskMemAlloc(std::size_t bytes)
{
    void* block = std::malloc(bytes ? bytes : 1);
    if (block)
        ++g_blocks;
    return block;
}

void CoTaskMemFree(void* block)
{
    if (!block)
        return;
    std::free(block);
    --g_blocks;
}

long LiveTaskMemory() { return g_blocks; }

} // namespace dshow

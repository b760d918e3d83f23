#include <twain/global_memory.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_set>

struct GlobalMemoryBlock {
    std::size_t size;
    int locks;
    unsigned char* bytes;
};

namespace twain {

namespace {

struct Table {
    std::mutex lock;
    std::unordered_set<HGLOBAL> live;
    int alloc_fault = 0; // allocations to go before one fails (0: none)
    int lock_fault = 0;
};

// Never destroyed: blocks may be freed while the process ends.
Table& TheTable()
{
    static Table* table = new Table;
    return *table;
}

// Counts down a fault; true when this call is the one to fail.
bool Due(int& fault) { return fault > 0 && --fault == 0; }

GlobalMemoryBlock* Find(Table& table, HGLOBAL handle)
{
    return table.live.count(handle) ? handle : nullptr;
}

std::atomic<ondula::Clock*> g_clock{nullptr};

} // namespace

HGLOBAL GlobalAlloc(std::size_t bytes)
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    if (Due(table.alloc_fault))
        return nullptr;
    auto* data = static_cast<unsigned char*>(std::calloc(bytes ? bytes : 1, 1));
    if (!data)
        return nullptr;
    auto* block = new (std::nothrow) GlobalMemoryBlock{bytes, 0, data};
    if (!block) {
        std::free(data);
        return nullptr;
    }
    try {
        table.live.insert(block);
    } catch (const std::bad_alloc&) {
        std::free(data);
        delete block;
        return nullptr;
    }
    return block;
}

void* GlobalLock(HGLOBAL handle)
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    GlobalMemoryBlock* block = Find(table, handle);
    if (!block || Due(table.lock_fault))
        return nullptr;
    ++block->locks;
    return block->bytes;
}

bool GlobalUnlock(HGLOBAL handle)
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    GlobalMemoryBlock* block = Find(table, handle);
    if (!block || block->locks == 0)
        return false;
    --block->locks;
    return true;
}

bool GlobalFree(HGLOBAL handle)
{
    if (!handle)
        return true;
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    GlobalMemoryBlock* block = Find(table, handle);
    if (!block)
        return false;
    table.live.erase(handle);
    std::free(block->bytes);
    delete block;
    return true;
}

std::size_t GlobalSize(HGLOBAL handle)
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    const GlobalMemoryBlock* block = Find(table, handle);
    return block ? block->size : 0;
}

ondula::Clock& PlatformClock()
{
    ondula::Clock* clock = g_clock.load();
    return clock ? *clock : ondula::SteadyClock();
}

void UsePlatformClock(ondula::Clock& clock) { g_clock = &clock; }

void UseSteadyPlatformClock() { g_clock = nullptr; }

void FailGlobalAlloc(int nth)
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    table.alloc_fault = nth;
}

void FailGlobalLock(int nth)
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    table.lock_fault = nth;
}

int LiveGlobalHandles()
{
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    return int(table.live.size());
}

} // namespace twain

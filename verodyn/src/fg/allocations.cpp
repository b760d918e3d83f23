// Memory of the host functions, tracked by the file and line that asked for it.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "host.h"
#include <verodyn/framegrabber.h>
#include <verodyn/status.h>

namespace {

struct Block {
    std::size_t size;
    std::string file;
    int line;
    bool temporary;
    unsigned long long order;
};

struct Registry {
    std::mutex lock;
    std::unordered_map<void*, Block> blocks;
    unsigned long long next_order = 0;
};

// Never destroyed: plug-ins may free their memory while the process ends.
Registry& registry()
{
    static Registry* r = new Registry;
    return *r;
}

} // namespace

namespace verodyn::fg {

FGstatus tracked_alloc(std::size_t size, const char* file, int line, bool temporary, void** out)
{
    if (!out)
        return VERR_NULL_POINTER;
    *out = nullptr;
    void* p = std::malloc(size ? size : 1);
    if (!p)
        return VERR_NO_MEMORY;
    Registry& r = registry();
    try {
        std::lock_guard guard(r.lock);
        r.blocks.emplace(p, Block{size, file ? file : "", line, temporary, r.next_order++});
    } catch (const std::bad_alloc&) {
        std::free(p);
        return VERR_NO_MEMORY;
    }
    *out = p;
    return FG_SUCCESS;
}

FGstatus tracked_free(void* pointer, bool temporary)
{
    if (!pointer)
        return FG_SUCCESS;
    Registry& r = registry();
    {
        std::lock_guard guard(r.lock);
        const auto it = r.blocks.find(pointer);
        if (it == r.blocks.end() || it->second.temporary != temporary)
            return VERR_FG_FREE;
        r.blocks.erase(it);
    }
    std::free(pointer);
    return FG_SUCCESS;
}

} // namespace verodyn::fg

using verodyn::fg::tracked_alloc;
using verodyn::fg::tracked_free;

namespace {

// A plug-in hands the address of its pointer untyped; it receives null on failure.
FGstatus alloc_to(void* pointer_address, std::size_t size, const char* file, int line,
                  bool temporary)
{
    if (!pointer_address)
        return VERR_NULL_POINTER;
    void* p = nullptr;
    const FGstatus status = tracked_alloc(size, file, line, temporary, &p);
    std::memcpy(pointer_address, &p, sizeof p);
    return status;
}

} // namespace

extern "C" {

FGstatus VXAlloc(Vproc_handle, size_t size, const char* file, int32_t line, int32_t,
                 void* pointer_address)
{
    return alloc_to(pointer_address, size, file, line, false);
}

FGstatus VXFree(Vproc_handle, void* pointer, const char*, int32_t, int32_t)
{
    return tracked_free(pointer, false);
}

FGstatus VXAllocTmp(Vproc_handle, void* pointer_address, size_t size, const char* file,
                    int32_t line)
{
    return alloc_to(pointer_address, size, file, line, true);
}

FGstatus VXFreeTmp(Vproc_handle, void* pointer, const char*, int32_t)
{
    return tracked_free(pointer, true);
}

} // extern "C"

std::vector<VXAllocation> VXAllocated()
{
    Registry& r = registry();
    std::vector<std::pair<unsigned long long, VXAllocation>> live;
    {
        std::lock_guard guard(r.lock);
        for (const auto& [address, block] : r.blocks)
            live.push_back(
                {block.order, {address, block.size, block.file, block.line, block.temporary}});
    }
    std::sort(live.begin(), live.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<VXAllocation> result;
    for (auto& entry : live)
        result.push_back(std::move(entry.second));
    return result;
}

#include <cstring>

#include "driver_state.h"

namespace qdriver {

using namespace wire;

namespace {

// DMA buffers start on page boundaries.
constexpr uint64_t kDmaAlignment = 0x1000;

struct Range {
    uint32_t base = 0;
    uint32_t length = 0;
};

// The device's DMA buffer, placed in physical memory at its first use.
Status DmaBuffer(Driver::State& s, Device& d, Range* range)
{
    const uint32_t size = d.resources.dmaBufSize;
    if (size == 0)
        return win32::kInvalidParameter;
    if (d.dmaBase == 0) {
        if (s.nextDmaBase + uint64_t(size) > PhysicalMemory::kSize)
            return win32::kNotEnoughMemory;
        d.dmaBase = s.nextDmaBase;
        s.nextDmaBase = uint32_t((s.nextDmaBase + uint64_t(size) + kDmaAlignment - 1) /
                                 kDmaAlignment * kDmaAlignment);
    }
    *range = {d.dmaBase, size};
    return win32::kSuccess;
}

// The physical range a map request names.
Status RequestedRange(Driver::State& s, Device& d, const Request& r, Range* range)
{
    switch (GetWord(r.in, 1)) {
    case kMemoryPhysical:
        *range = {GetWord(r.in, 4), GetWord(r.in, 5)};
        return win32::kSuccess;
    case kMemoryIndexed:
        if (GetWord(r.in, 7) != 0)
            return win32::kInvalidParameter;
        [[fallthrough]];
    case kMemoryDevice:
        if (!d.resources.memory)
            return win32::kInvalidParameter;
        *range = {d.resources.memBase, d.resources.memCount};
        return win32::kSuccess;
    case kMemoryDma:
        return DmaBuffer(s, d, range);
    default:
        return win32::kInvalidParameter;
    }
}

} // namespace

Status MapMemory(Driver::State& s, Device& d, Request& r)
{
    if (r.inLength < kMapMemoryRequestSize || r.outLength < kMapMemoryReplySize)
        return win32::kInsufficientBuffer;
    Range range;
    if (Status status = RequestedRange(s, d, r, &range); status != win32::kSuccess)
        return status;
    if (range.length == 0 || uint64_t(range.base) + range.length > PhysicalMemory::kSize)
        return win32::kInvalidParameter;
    auto view = s.physical.Map(range.base, range.length);
    if (!view)
        return win32::kNotEnoughMemory;
    const uint32_t handle = s.nextMemoryMap++;
    const uint32_t reply[8] = {range.base, range.length, view->Token(), handle};
    s.memoryMaps[handle] = {d.context, std::move(view)};
    std::memcpy(r.out, reply, sizeof reply);
    r.returned = kMapMemoryReplySize;
    return win32::kSuccess;
}

Status UnmapMemory(Driver::State& s, Device& d, Request& r)
{
    if (r.inLength < kUnmapMemoryRequestSize)
        return win32::kInsufficientBuffer;
    auto mapping = s.memoryMaps.find(GetWord(r.in, 2));
    if (mapping == s.memoryMaps.end() || mapping->second.owner != d.context)
        return win32::kInvalidParameter;
    s.memoryMaps.erase(mapping);
    return win32::kSuccess;
}

} // namespace qdriver

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

// The lowest place for `size` bytes that no running device's DMA buffer takes.
uint64_t FreeDmaPlace(const Driver::State& s, uint32_t size)
{
    uint64_t place = kDmaRegionBase;
    for (const auto& [base, length] : s.dmaBuffers) {
        if (place + size <= base)
            break;
        place = (uint64_t(base) + length + kDmaAlignment - 1) / kDmaAlignment * kDmaAlignment;
    }
    return place;
}

// The device's DMA buffer, placed in physical memory at its first use.
Status DmaBuffer(Driver::State& s, Device& d, Range* range)
{
    const uint32_t size = d.resources.dmaBufSize;
    if (size == 0)
        return win32::kInvalidParameter;
    if (d.dmaBase == 0) {
        const uint64_t place = FreeDmaPlace(s, size);
        if (place + size > PhysicalMemory::kSize)
            return win32::kNotEnoughMemory;
        d.dmaBase = uint32_t(place);
        s.dmaBuffers[d.dmaBase] = size;
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

void ReleaseMemory(Driver::State& s, const Device& d)
{
    std::erase_if(s.memoryMaps, [&](const auto& entry) { return entry.second.owner == d.context; });
    if (d.dmaBase != 0)
        s.dmaBuffers.erase(d.dmaBase);
}

} // namespace qdriver

#include <cstdlib>
#include <cstring>
#include <memory>

#include "live_objects.h"
#include "request.h"
#include <hwaccess/client.h>
#include <qdriver/address_table.h>

namespace hw {
namespace {

using namespace qdriver::wire;

uint32_t Kind(const HwMemory& memory) { return memory.kindAndIndex & 0xFFFF; }
uint32_t Index(const HwMemory& memory) { return memory.kindAndIndex >> 16; }

struct DeviceDeleter {
    void operator()(HwDevice* device) const { HwDeleteDevice(device); }
};

// The device a record's requests go through: its owner, or else a connection
// to the default device made for one request.
class RequestDevice {
public:
    explicit RequestDevice(const HwMemory& memory)
    {
        if (memory.device) {
            if (IsBound(&memory, memory.device, ObjectKind::Device))
                device_ = memory.device;
            return;
        }
        temporary_.reset(HwNewDevice(nullptr));
        if (temporary_ && HwConnectDevice(temporary_.get(), nullptr))
            device_ = temporary_.get();
    }
    /// Null when no connection could be made.
    HwDevice* get() const { return device_; }

private:
    std::unique_ptr<HwDevice, DeviceDeleter> temporary_;
    HwDevice* device_ = nullptr;
};

// Gives `memory`, unmapped, to `device`: null (the default device, reached
// for each request) or a live record. A deleted one is refused before the
// object gives up its mapping, so that it never names a dead owner.
bool TakeOwner(HwMemory* memory, HwDevice* device)
{
    if (!IsLive(memory) || (device && !IsLive(device)))
        return false;
    HwUnmapMemory(memory);
    memory->device = device;
    Bind(memory, device);
    return true;
}

// Words 0-7: the driver's reply, its address token resolved (only from a
// complete reply), or all zero.
void SetReply(HwMemory& memory, const uint32_t (&reply)[8], bool complete)
{
    memory.physicalAddress = reply[0];
    memory.length = reply[1];
    memory.address = complete ? qdriver::AddressOf(reply[2]) : nullptr;
    memory.mapping = reply[3];
    std::memcpy(memory.replyRest, reply + 4, sizeof memory.replyRest);
}

// The mapped bytes [offset, offset + length), or null when the record is not
// mapped, the range leaves the mapping or the driver took the mapping back
// (its device stopped).
uint8_t* Mapped(const HwMemory* memory, uint64_t offset, uint64_t length)
{
    if (!IsLive(memory) || !memory->address || offset + length > memory->length ||
        !qdriver::IsLiveRange(memory->address, memory->length))
        return nullptr;
    return static_cast<uint8_t*>(memory->address) + offset;
}

template <typename T> T ReadItem(const HwMemory* memory, uint32_t index)
{
    T value = 0;
    if (const uint8_t* at = Mapped(memory, uint64_t(index) * sizeof(T), sizeof(T)))
        std::memcpy(&value, at, sizeof(T));
    return value;
}

template <typename T> BOOL WriteItem(HwMemory* memory, uint32_t index, T value)
{
    uint8_t* at = Mapped(memory, uint64_t(index) * sizeof(T), sizeof(T));
    if (at)
        std::memcpy(at, &value, sizeof(T));
    return at != nullptr;
}

} // namespace

HwMemory* HwNewMemory()
{
    auto* memory = static_cast<HwMemory*>(std::calloc(1, sizeof(HwMemory)));
    if (memory && !AddLiveObject(memory, ObjectKind::Memory)) {
        std::free(memory);
        return nullptr;
    }
    return memory;
}

BOOL HwDeleteMemory(HwMemory* memory)
{
    if (!IsLive(memory))
        return false;
    const BOOL unmapped = HwUnmapMemory(memory);
    RemoveLiveObject(memory);
    std::free(memory);
    return unmapped;
}

BOOL HwMapMemory(HwMemory* memory, uint32_t address, uint32_t length)
{
    if (!IsLive(memory))
        return false;
    HwUnmapMemory(memory);
    memory->device = nullptr;
    memory->kindAndIndex = kMemoryPhysical;
    return HwMapMemoryEx(memory, address, length, 1, 0);
}

BOOL HwMapDeviceMemory(HwMemory* memory, HwDevice* device)
{
    if (!TakeOwner(memory, device))
        return false;
    if (Kind(*memory) != kMemoryIndexed)
        memory->kindAndIndex = kMemoryDevice;
    return HwMapMemoryEx(memory, 0, 0, 0, 0);
}

BOOL HwMapDmaBuffer(HwMemory* memory, HwDevice* device)
{
    if (!TakeOwner(memory, device))
        return false;
    memory->kindAndIndex = kMemoryDma;
    return HwMapMemoryEx(memory, 0, 0, 0, 0);
}

BOOL HwMapMemoryEx(HwMemory* memory, uint32_t address, uint32_t length, uint32_t space,
                   uint32_t bus)
{
    if (!IsLive(memory))
        return false;
    HwUnmapMemory(memory);
    RequestDevice device(*memory);
    if (!device.get())
        return false;
    const uint32_t request[8] = {
        device.get()->driverContext, Kind(*memory), space, bus, address, length, 0, Index(*memory)};
    uint32_t reply[8] = {};
    uint32_t returned = 0;
    const bool complete = SendRequest(device.get(), kMapMemory, request, sizeof request, reply,
                                      sizeof reply, &returned) &&
                          returned == kMapMemoryReplySize;
    SetReply(*memory, reply, complete);
    return complete && memory->address;
}

BOOL HwUnmapMemory(HwMemory* memory)
{
    if (!IsLive(memory))
        return false;
    if (!memory->address)
        return true;
    RequestDevice device(*memory);
    bool unmapped = false;
    if (device.get()) {
        const uint32_t request[8] = {device.get()->driverContext, Kind(*memory), memory->mapping,
                                     Index(*memory)};
        unmapped = SendRequest(device.get(), kUnmapMemory, request, sizeof request, nullptr, 0);
    }
    SetReply(*memory, {}, false);
    return unmapped;
}

void* HwGetMemoryPointer(HwMemory* memory) { return IsLive(memory) ? memory->address : nullptr; }

uint32_t HwGetPhysicalAddress(HwMemory* memory)
{
    return IsLive(memory) ? memory->physicalAddress : 0;
}

uint32_t HwSetMemoryIndex(HwMemory* memory, uint32_t index)
{
    if (!IsLive(memory))
        return 0;
    memory->kindAndIndex = (index << 16) + kMemoryIndexed;
    return memory->kindAndIndex;
}

uint32_t HwGetMemoryIndex(HwMemory* memory) { return IsLive(memory) ? Index(*memory) : 0; }

void* HwReadMemory(HwMemory* memory, uint32_t offset, void* buffer, uint32_t length)
{
    const uint8_t* at = Mapped(memory, offset, length);
    if (!at || (!buffer && length))
        return nullptr;
    if (length)
        std::memcpy(buffer, at, length);
    return memory->address;
}

void* HwWriteMemory(HwMemory* memory, uint32_t offset, const void* buffer, uint32_t length)
{
    uint8_t* at = Mapped(memory, offset, length);
    if (!at || (!buffer && length))
        return nullptr;
    if (length)
        std::memcpy(at, buffer, length);
    return memory->address;
}

uint8_t HwReadByteMem(HwMemory* memory, uint32_t index) { return ReadItem<uint8_t>(memory, index); }
uint16_t HwReadWordMem(HwMemory* memory, uint32_t index)
{
    return ReadItem<uint16_t>(memory, index);
}
uint32_t HwReadLongMem(HwMemory* memory, uint32_t index)
{
    return ReadItem<uint32_t>(memory, index);
}
BOOL HwWriteByteMem(HwMemory* memory, uint32_t index, uint8_t value)
{
    return WriteItem(memory, index, value);
}
BOOL HwWriteWordMem(HwMemory* memory, uint32_t index, uint16_t value)
{
    return WriteItem(memory, index, value);
}
BOOL HwWriteLongMem(HwMemory* memory, uint32_t index, uint32_t value)
{
    return WriteItem(memory, index, value);
}

} // namespace hw

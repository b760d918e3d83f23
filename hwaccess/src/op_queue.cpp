#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "device_lock.h"
#include "live_objects.h"
#include "request.h"
#include <hwaccess/client.h>
#include <qdriver/address_table.h>

namespace hw {
namespace {

using namespace qdriver::wire;

uint8_t* Bytes(HwOpQueue* queue) { return reinterpret_cast<uint8_t*>(queue); }
uint32_t Header(HwOpQueue* queue, uint32_t offset) { return GetWord(Bytes(queue), offset / 4); }
void SetHeader(HwOpQueue* queue, uint32_t offset, uint32_t value)
{
    PutWord(Bytes(queue), offset / 4, value);
}

bool IsInputWithAddress(const uint8_t* op)
{
    const uint32_t code = GetWord(op, 0);
    return (code == kOpIn + 1 || code == kOpIn + 2 || code == kOpIn + 4) && GetWord(op, 3) != 0;
}

// Ends the address tokens of the queued ops and empties the queue. A count
// beyond the capacity (a caller-built queue) reaches no further than the records.
void Empty(HwOpQueue* queue)
{
    const uint32_t count = std::min(Header(queue, kHeaderCount), Header(queue, kHeaderCapacity));
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* op = Bytes(queue) + OpOffset(i);
        if (IsInputWithAddress(op))
            qdriver::ReleaseAddress(GetWord(op, 3));
    }
    SetHeader(queue, kHeaderCount, 0);
}

// The size of the whole queue, header to the end of the data area.
uint64_t QueueSize(uint64_t capacity, uint64_t extra) { return DataAreaOffset(capacity) + extra; }

BOOL Append(HwOpQueue* queue, std::initializer_list<uint32_t> words)
{
    if (!queue)
        return false;
    const uint32_t count = Header(queue, kHeaderCount);
    if (count >= Header(queue, kHeaderCapacity))
        return false;
    uint8_t* op = Bytes(queue) + OpOffset(count);
    std::memset(op, 0, kOpSize);
    uint32_t index = 0;
    for (uint32_t word : words)
        PutWord(op, index++, word);
    SetHeader(queue, kHeaderCount, count + 1);
    return true;
}

void InitHeader(HwOpQueue* queue, uint32_t kind, uint32_t capacity, uint32_t extra)
{
    SetHeader(queue, kHeaderVersion, kQueueVersion);
    SetHeader(queue, kHeaderKind, kind);
    SetHeader(queue, kHeaderCapacity, capacity);
    SetHeader(queue, kHeaderExtra, extra);
    SetHeader(queue, kHeaderExtraCopy, extra);
}

// A one-op queue on the stack: header and a single op record, no data area.
struct SinglePortQueue {
    alignas(8) uint8_t bytes[kQueueHeaderSize + kOpSize] = {};
    SinglePortQueue() { InitHeader(Get(), 0, 1, 0); }
    HwOpQueue* Get() { return reinterpret_cast<HwOpQueue*>(bytes); }
    uint32_t ValueRead() const { return GetWord(bytes + OpOffset(0), 2); }
};

uint32_t ReadPort(HwDevice* device, uint32_t port, uint32_t size)
{
    SinglePortQueue queue;
    HwQueueInPort(queue.Get(), port, size, nullptr);
    HwExecute(device, queue.Get());
    return queue.ValueRead();
}

BOOL WritePort(HwDevice* device, uint32_t port, uint32_t size, uint32_t value)
{
    SinglePortQueue queue;
    HwQueueOutPort(queue.Get(), port, size, value);
    return HwExecute(device, queue.Get());
}

} // namespace

HwOpQueue* HwAllocateOpQueue(uint32_t kind, uint32_t capacity, uint32_t extra)
{
    const uint64_t size = QueueSize(capacity, extra);
    if (size > std::numeric_limits<uint32_t>::max())
        return nullptr;
    auto* queue = static_cast<HwOpQueue*>(std::calloc(1, size));
    if (queue)
        InitHeader(queue, kind, capacity, extra);
    return queue;
}

BOOL HwDeleteOpQueue(HwOpQueue* queue)
{
    if (queue)
        Empty(queue);
    std::free(queue);
    return true;
}

void* HwGetQueueBuffer(HwOpQueue* queue)
{
    return queue ? Bytes(queue) + DataAreaOffset(Header(queue, kHeaderCapacity)) : nullptr;
}

BOOL HwEnableQueueOption(HwOpQueue* queue, uint32_t option, BOOL on)
{
    if (!queue || option != kQueueOption4)
        return false;
    const uint32_t flags = Header(queue, kHeaderFlags);
    SetHeader(queue, kHeaderFlags, on ? flags | kQueueOption4 : flags & ~kQueueOption4);
    return true;
}

BOOL HwQueueInPort(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t* address)
{
    if (!queue || Header(queue, kHeaderCount) >= Header(queue, kHeaderCapacity))
        return false;
    return Append(queue, {kOpIn + size, port, 0, qdriver::RegisterAddress(address)});
}
BOOL HwQueueInp(HwOpQueue* queue, uint32_t port, uint32_t* address)
{
    return HwQueueInPort(queue, port, 1, address);
}
BOOL HwQueueInpw(HwOpQueue* queue, uint32_t port, uint32_t* address)
{
    return HwQueueInPort(queue, port, 2, address);
}
BOOL HwQueueInpl(HwOpQueue* queue, uint32_t port, uint32_t* address)
{
    return HwQueueInPort(queue, port, 4, address);
}

BOOL HwQueueOutPort(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t value)
{
    return Append(queue, {kOpOut + size, port, value});
}
BOOL HwQueueOutp(HwOpQueue* queue, uint32_t port, uint32_t value)
{
    return HwQueueOutPort(queue, port, 1, value);
}
BOOL HwQueueOutpw(HwOpQueue* queue, uint32_t port, uint32_t value)
{
    return HwQueueOutPort(queue, port, 2, value);
}
BOOL HwQueueOutpl(HwOpQueue* queue, uint32_t port, uint32_t value)
{
    return HwQueueOutPort(queue, port, 4, value);
}

BOOL HwQueueBufInPort(HwOpQueue* queue, uint32_t port, uint32_t size)
{
    return Append(queue, {kOpBufIn + size, port});
}
BOOL HwQueueBufInp(HwOpQueue* queue, uint32_t port) { return HwQueueBufInPort(queue, port, 1); }
BOOL HwQueueBufInpw(HwOpQueue* queue, uint32_t port) { return HwQueueBufInPort(queue, port, 2); }
BOOL HwQueueBufInpl(HwOpQueue* queue, uint32_t port) { return HwQueueBufInPort(queue, port, 4); }

BOOL HwQueueBufOutPort(HwOpQueue* queue, uint32_t port, uint32_t size)
{
    return Append(queue, {kOpBufOut + size, port});
}
BOOL HwQueueBufOutp(HwOpQueue* queue, uint32_t port) { return HwQueueBufOutPort(queue, port, 1); }
BOOL HwQueueBufOutpw(HwOpQueue* queue, uint32_t port) { return HwQueueBufOutPort(queue, port, 2); }
BOOL HwQueueBufOutpl(HwOpQueue* queue, uint32_t port) { return HwQueueBufOutPort(queue, port, 4); }

BOOL HwQueueAndTemp(HwOpQueue* queue, uint32_t mask) { return Append(queue, {kOpAndTemp, mask}); }
BOOL HwQueueOrTemp(HwOpQueue* queue, uint32_t value) { return Append(queue, {kOpOrTemp, value}); }

BOOL HwQueueWhileInpAnd(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t mask,
                        uint32_t limit, uint32_t failOnLimit)
{
    return Append(queue, {kOpWhileInpAnd, port, failOnLimit, mask, size, limit});
}

BOOL HwQueueWhileInpEqual(HwOpQueue* queue, uint32_t port, uint32_t size, uint32_t mask,
                          uint32_t value, uint32_t limit, uint32_t failOnLimit)
{
    return Append(queue, {kOpWhileInpEqual, port, failOnLimit, mask, size, limit, value});
}

BOOL HwQueueLoopBack(HwOpQueue* queue) { return Append(queue, {kOpLoopBack}); }
BOOL HwQueueBreakIfAnd(HwOpQueue* queue, uint32_t mask, uint32_t value)
{
    return Append(queue, {kOpBreakIfAnd, mask, value});
}

BOOL HwExecute(HwDevice* device, HwOpQueue* queue)
{
    if (!IsLive(device) || !queue)
        return false;
    const uint32_t count = Header(queue, kHeaderCount);
    if (count == 0)
        return true;
    SetHeader(queue, kHeaderContext, device->driverContext);
    SetHeader(queue, kHeaderFlags, Header(queue, kHeaderFlags) | kQueueExecuting);
    const uint64_t size = QueueSize(Header(queue, kHeaderCapacity), Header(queue, kHeaderExtra));
    bool ok = false;
    if (count <= Header(queue, kHeaderCapacity) && size <= std::numeric_limits<uint32_t>::max()) {
        DeviceLock lock(*device);
        ok = SendRequest(device, kExecuteQueue, queue, uint32_t(size), queue, uint32_t(size));
    } else {
        qdriver::SetLastError(win32::kInvalidParameter);
    }
    if (ok) {
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* op = Bytes(queue) + OpOffset(i);
            if (!IsInputWithAddress(op))
                continue;
            if (auto* target = static_cast<uint32_t*>(qdriver::AddressOf(GetWord(op, 3))))
                *target = GetWord(op, 2);
        }
    } else if (device->errorCallback) {
        device->errorCallback(device, HW_ERROR_OP_QUEUE);
    }
    Empty(queue);
    return ok;
}

uint8_t HwInp(HwDevice* device, uint32_t port)
{
    return static_cast<uint8_t>(ReadPort(device, port, 1));
}
uint16_t HwInpw(HwDevice* device, uint32_t port)
{
    return static_cast<uint16_t>(ReadPort(device, port, 2));
}
uint32_t HwInpl(HwDevice* device, uint32_t port) { return ReadPort(device, port, 4); }
BOOL HwOutp(HwDevice* device, uint32_t port, uint8_t value)
{
    return WritePort(device, port, 1, value);
}
BOOL HwOutpw(HwDevice* device, uint32_t port, uint16_t value)
{
    return WritePort(device, port, 2, value);
}
BOOL HwOutpl(HwDevice* device, uint32_t port, uint32_t value)
{
    return WritePort(device, port, 4, value);
}

} // namespace hw

#pragma once
// The control protocol of the Quenlo kernel driver: control codes, request
// words, op-queue layout and op codes. Every request word is a 32-bit
// little-endian value; word 0 of a request carries the device's driver context.
//
// User addresses in request words: a 32-bit word cannot hold a 64-bit user
// address, so no request word ever carries one. Where a word stands for a user
// address (the result address of an input op, a mapping's user address), it
// carries a nonzero token of the process's address table (qdriver/address_table.h):
// whoever hands out the address registers it, whoever uses the word resolves it,
// and the token is released together with the address. Data buffers travel as
// the request's own input and output buffers, never inside words.
#include <cstdint>
#include <cstring>

namespace qdriver::wire {

inline constexpr uint32_t kDeviceType = 0x22;
inline constexpr uint32_t kMethodBuffered = 0;
inline constexpr uint32_t kMethodInDirect = 1;
inline constexpr uint32_t kMethodOutDirect = 2;
inline constexpr uint32_t kFileWriteAccess = 2;

/// A control code: device type, access, function and transfer method.
constexpr uint32_t ControlCode(uint32_t function, uint32_t method)
{
    return kDeviceType << 16 | kFileWriteAccess << 14 | function << 2 | method;
}
constexpr uint32_t FunctionOf(uint32_t code) { return (code >> 2) & 0xFFF; }
constexpr uint32_t MethodOf(uint32_t code) { return code & 3; }
constexpr uint32_t AccessOf(uint32_t code) { return (code >> 14) & 3; }
constexpr uint32_t DeviceTypeOf(uint32_t code) { return code >> 16; }

inline constexpr uint32_t kExecuteQueue = ControlCode(0x48, kMethodBuffered);
inline constexpr uint32_t kMapMemory = ControlCode(0x49, kMethodBuffered);
inline constexpr uint32_t kUnmapMemory = ControlCode(0x50, kMethodBuffered);
inline constexpr uint32_t kWaitInterrupt = ControlCode(0x51, kMethodBuffered);
inline constexpr uint32_t kGetProperty = ControlCode(0x52, kMethodBuffered);
inline constexpr uint32_t kSetProperty = ControlCode(0x53, kMethodBuffered);
inline constexpr uint32_t kMapPorts = ControlCode(0x54, kMethodBuffered);
inline constexpr uint32_t kUnmapPorts = ControlCode(0x55, kMethodBuffered);
inline constexpr uint32_t kConnectInterrupt = ControlCode(0x56, kMethodBuffered);
inline constexpr uint32_t kDisconnectInterrupt = ControlCode(0x57, kMethodBuffered);
inline constexpr uint32_t kBlockReadDirect = ControlCode(0x58, kMethodInDirect);
inline constexpr uint32_t kBlockWriteDirect = ControlCode(0x59, kMethodOutDirect);
inline constexpr uint32_t kBlockRead = ControlCode(0x60, kMethodBuffered);
inline constexpr uint32_t kBlockWrite = ControlCode(0x61, kMethodBuffered);
inline constexpr uint32_t kStartDevice = ControlCode(0x64, kMethodBuffered);
inline constexpr uint32_t kStopDevice = ControlCode(0x65, kMethodBuffered);
inline constexpr uint32_t kOpenContext = ControlCode(0x66, kMethodBuffered);
inline constexpr uint32_t kGetBusData = ControlCode(0x67, kMethodBuffered);
inline constexpr uint32_t kSetBusData = ControlCode(0x68, kMethodBuffered);

/// Driver properties: 1 interrupt delivery enabled (0/1), 2 interrupt connected.
inline constexpr uint32_t kPropertyInterruptEnabled = 1;
inline constexpr uint32_t kPropertyInterruptConnected = 2;

/// Platform ids as the operating system reports them.
inline constexpr int kPlatform9x = 1;
inline constexpr int kPlatformNt = 2;

/// The control device ("\\.\_Default30" on NT, the VxD itself on Windows 9x);
/// the default device name; the prefix of device object names on NT.
inline constexpr const char* kDefaultDevice = "_Default30";
inline constexpr const char* kVxdPath = "\\\\.\\QUENLO.VXD";
inline constexpr const char* kDevicePrefix = "\\Device\\";
/// Reply of kOpenContext for a name that is not a running device.
inline constexpr uint32_t kNoContext = 0xFFFFFFFFu;

// Op queue: 48-byte header, `capacity` ops of 32 bytes, then the data area.
inline constexpr uint32_t kQueueHeaderSize = 48;
inline constexpr uint32_t kOpSize = 32;
inline constexpr uint32_t kQueueVersion = 0x00030004;
inline constexpr uint32_t kHeaderContext = 0;
inline constexpr uint32_t kHeaderVersion = 4;
inline constexpr uint32_t kHeaderKind = 8;
inline constexpr uint32_t kHeaderCount = 12;
inline constexpr uint32_t kHeaderCapacity = 16;
inline constexpr uint32_t kHeaderFlags = 20;
inline constexpr uint32_t kHeaderExtra = 32;
inline constexpr uint32_t kHeaderExtraCopy = 36;
/// Flags word: 1 marks a queue sent for execution; option 4 is the caller's and
/// travels unchanged.
inline constexpr uint32_t kQueueExecuting = 1;
inline constexpr uint32_t kQueueOption4 = 4;

/// Byte offset of op `index`, and of the data area of a queue of `capacity` ops.
constexpr uint64_t OpOffset(uint64_t index) { return kQueueHeaderSize + kOpSize * index; }
constexpr uint64_t DataAreaOffset(uint64_t capacity) { return OpOffset(capacity); }

// Op codes. Input and output ops add the access size (1, 2 or 4).
// In:        [1] port, [2] value read (written back), [3] result-address token or 0.
// Out:       [1] port, [2] value.
// BufIn/Out: [1] port; the value goes to / comes from the data area at a cursor
//            that starts at 0 and advances by the size; past the area the queue fails.
// Every input (In, BufIn, the polls of the While ops) loads the temp register.
// AndTemp:   temp &= [1].        OrTemp: temp |= [1].
// WhileInpAnd:   [1] port, [4] size, [3] mask, [5] poll limit (0 = driver cap),
//                [2] nonzero: running out of polls fails the queue; polls the port
//                while (value & mask) != 0.
// WhileInpEqual: as WhileInpAnd with [6] value; polls while (value & mask) == [6].
// LoopBack:  jumps to the first op after the previous LoopBack (or to op 0).
// BreakIfAnd: when (temp & [1]) == [2], execution continues after the next
//            LoopBack, or the queue ends when none follows.
// Each jump and each poll counts against the driver's iteration cap; reaching
// it fails the queue with ERROR_TIMEOUT, so no queue can hang the driver.
inline constexpr uint32_t kOpIn = 0x80;
inline constexpr uint32_t kOpOut = 0xC0;
inline constexpr uint32_t kOpBufIn = 0xE0;
inline constexpr uint32_t kOpBufOut = 0xF0;
inline constexpr uint32_t kOpBreakIfAnd = 2;
inline constexpr uint32_t kOpWhileInpAnd = 3;
inline constexpr uint32_t kOpLoopBack = 4;
inline constexpr uint32_t kOpOrTemp = 6;
inline constexpr uint32_t kOpAndTemp = 7;
inline constexpr uint32_t kOpWhileInpEqual = 8;

// Port numbers in ops, block transfers and maps: a number below the device's
// PortCount is an offset from its PortBase; any other number is an absolute port
// that must lie in the device's port range or in one of its port mappings.
//
// Block transfer request (32 bytes): [0] ctx, [1] port, [2] port stride between
// items, [3] length in bytes, [4] item width 1/2/4, [5] nonzero: auto-increment,
// the port advances by the width (the stride is then ignored).
inline constexpr uint32_t kBlockRequestSize = 32;
inline constexpr uint32_t kBlockBufferedLimit = 1000;
/// Width code of the block functions that means byte items with auto-increment.
inline constexpr uint32_t kWidthAutoIncrementBytes = 5;

// Port mapping request (32 bytes): [0] ctx, [1] address space (1 = I/O),
// [2] bus number, [3] first port, [4] count, [5] reserved. Reply (24 bytes):
// [0] ctx, [1] 1 mapped / 0 refused by a resource conflict, [2] first port,
// [3] count, [4] mapping id (for kUnmapPorts), [5] address space.
inline constexpr uint32_t kMapPortsRequestSize = 32;
inline constexpr uint32_t kMapPortsReplySize = 24;

// Interrupt connection request (24 bytes): [0] ctx, [1] and [2] passed through
// to the reply, [3] level, [4] vector, [5] 1. Reply (20 bytes): ctx, level,
// vector, then words [1] and [2] of the request. Interrupt wait: the 4-byte ctx
// in, 16 bytes out: [1] the value of the service op, [2] that of the
// identification op.
inline constexpr uint32_t kConnectInterruptRequestSize = 24;
inline constexpr uint32_t kConnectInterruptReplySize = 20;
inline constexpr uint32_t kInterruptReplySize = 16;

// Memory mapping request (32 bytes): [0] ctx, [1] kind, [2] address space and
// [3] bus number as the caller gives them (every space and bus map alike here),
// [4] physical address and [5] length (kind 0), [6] 0, [7] index (kind 3).
// Kinds: 0 a range of physical memory; 1 the device's memory range (MemBase,
// MemCount); 2 the device's DMA buffer of DmaBufSize bytes, made in physical
// memory at the device's first DMA mapping and kept while the device runs;
// 3 indexed device memory, where index 0 is the memory range and no other
// index exists. Reply (32 bytes): [0] physical address, [1] mapped length,
// [2] address token of the mapping, [3] mapping handle, [4]-[7] 0.
// Unmap request (32 bytes): [0] ctx, [1] kind, [2] mapping handle, [3] index;
// no reply. A mapping lives until its device unmaps it by its handle, however
// long the handle that made it stays open, or until the device stops, which
// also frees its DMA buffer for the devices started later; every mapping of one physical
// address shows the same bytes. Physical memory is 4 GiB, zero until written;
// DMA buffers are placed from kDmaRegionBase on.
inline constexpr uint32_t kMapMemoryRequestSize = 32;
inline constexpr uint32_t kMapMemoryReplySize = 32;
inline constexpr uint32_t kUnmapMemoryRequestSize = 32;
inline constexpr uint32_t kMemoryPhysical = 0;
inline constexpr uint32_t kMemoryDevice = 1;
inline constexpr uint32_t kMemoryDma = 2;
inline constexpr uint32_t kMemoryIndexed = 3;
inline constexpr uint32_t kDmaRegionBase = 0x80000000u;

// Bus data: read request 32 bytes {ctx, offset, length, 0...} answered with the
// bytes; write request {ctx, offset, length} with the data from byte 28 on.
// Each device has 256 bytes of bus data; an InterfaceType 5 device shows its
// VendorID at offset 0 and DeviceID at offset 2.
inline constexpr uint32_t kBusDataRequestSize = 32;
inline constexpr uint32_t kBusDataOffset = 28;
inline constexpr uint32_t kBusDataSize = 256;

/// Reads word `index` of a little-endian request.
inline uint32_t GetWord(const void* data, uint64_t index)
{
    uint32_t value;
    std::memcpy(&value, static_cast<const uint8_t*>(data) + 4 * index, 4);
    return value;
}
/// Writes word `index` of a little-endian request.
inline void PutWord(void* data, uint64_t index, uint32_t value)
{
    std::memcpy(static_cast<uint8_t*>(data) + 4 * index, &value, 4);
}

} // namespace qdriver::wire

#pragma once
// The driver's private state and the request handlers that share it. Handlers
// run under State::mutex.
#include <array>
#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "physical_memory.h"
#include <qdriver/driver.h>

namespace qdriver {

using win32::Status;

struct DeviceResources {
    uint32_t interfaceType = 1;
    uint32_t vendorId = 0;
    uint32_t deviceId = 0;
    bool ports = false;
    uint32_t portBase = 0;
    uint32_t portCount = 0;
    bool interrupt = false;
    uint32_t interruptLevel = 0;
    bool memory = false;
    uint32_t memBase = 0;
    uint32_t memCount = 0;
    bool dynamic = false;
    bool ignoreConflicts = false;
    uint32_t isrOp = 0, isrOffset = 0, isrData = 0;
    uint32_t isrIdOp = 0, isrIdOffset = 0, isrIdMask = 0, isrIdValue = 0;
    uint32_t dmaBufSize = 0;
};

struct PortMapping {
    uint32_t base;
    uint32_t count;
};

struct PendingRequest {
    Handle handle;
    uint8_t* out; // the 16-byte interrupt reply
    Completion done;
};

struct Device {
    std::string name;
    DeviceResources resources;
    uint32_t context = 0;
    bool interruptConnected = false;
    bool interruptEnabled = false;
    Handle interruptOwner = kInvalidHandle; // the handle that connected the interrupt
    uint32_t connectedLevel = 0;
    std::deque<std::array<uint32_t, 4>> latched; // replies of interrupts no wait took yet
    std::vector<PendingRequest> waits;
    std::array<uint8_t, wire::kBusDataSize> busData{};
    std::map<uint32_t, PortMapping> portMaps;
    uint32_t nextMapId = 1;
    uint32_t dmaBase = 0; // physical address of the DMA buffer, 0 until made
    bool running = true;
};

/// A memory mapping, owned by the driver until its device unmaps it.
struct MemoryMapping {
    uint32_t owner; // context of the device that made it
    std::unique_ptr<MappedView> view;
};

struct OpenFile {
    std::string path;
    std::shared_ptr<Device> device; // null for the Windows 9x VxD handle
    bool overlapped = false;
};

struct Request {
    uint32_t code;
    const uint8_t* in;
    uint32_t inLength;
    uint8_t* out;
    uint32_t outLength;
    uint32_t returned = 0;
};

/// A completion to run once the driver's lock is released.
struct DueCompletion {
    Completion done;
    Status status;
    uint32_t returned;
};

struct Driver::State {
    DriverOptions options;
    mutable std::mutex mutex;
    std::map<std::string, std::shared_ptr<Device>> devices; // by lower-case name
    std::map<Handle, OpenFile> files;
    Handle nextHandle = 0x40;
    uint32_t nextContext = 1;
    std::deque<LoggedRequest> log;
    size_t logBytes = 0; // input bytes held by the log
    std::vector<Fault> faults;
    std::vector<DueCompletion> due;
    std::atomic<std::thread::id> servingThread{}; // the thread inside a request, if any
    std::vector<uint32_t> raisedWhileServing;     // raised by port models during a request
    PhysicalMemory physical;
    std::map<uint32_t, MemoryMapping> memoryMaps; // by mapping handle
    uint32_t nextMemoryMap = 1;
    std::map<uint32_t, uint32_t> dmaBuffers; // base to size, of the running devices
};

// device_control.cpp
void LoadDevices(Driver::State& s);
Status StartDevice(Driver::State& s, const std::string& name);
Status StopDevice(Driver::State& s, const std::string& name);
/// True when [base, base + count) of `kind` collides with what the system or
/// another running device than `self` owns.
bool Conflicts(const Driver::State& s, const Device* self, Resource::Kind kind, uint32_t base,
               uint32_t count);
std::shared_ptr<Device> FindDevice(const Driver::State& s, const std::string& name);

// port_access.cpp
/// The absolute port of a device-relative or absolute port number, when all
/// `width` bytes lie in the device's port range or one of its mappings.
bool ResolvePort(const Device& d, uint32_t port, uint32_t width, uint32_t* absolute);
bool ValidWidth(uint32_t width);

// op_queue_interpreter.cpp
Status ExecuteQueue(Driver::State& s, Device& d, Request& r);

// port_requests.cpp
Status MapPorts(Driver::State& s, Device& d, Request& r);
Status UnmapPorts(Device& d, Request& r);
Status BlockTransfer(Driver::State& s, Device& d, Request& r);
Status GetBusData(Device& d, Request& r);
Status SetBusData(Device& d, Request& r);
Status GetProperty(Device& d, Request& r);
Status SetProperty(Device& d, Request& r);

// memory_requests.cpp
Status MapMemory(Driver::State& s, Device& d, Request& r);
Status UnmapMemory(Driver::State& s, Device& d, Request& r);
/// Unmaps every mapping of a device that stops and frees its DMA buffer.
void ReleaseMemory(Driver::State& s, const Device& d);

// interrupts.cpp
Status ConnectInterrupt(Driver::State& s, Device& d, Handle handle, Request& r);
Status DisconnectInterrupt(Driver::State& s, Device& d, Request& r);
/// The cleanup of closing `handle`: its waits end, and an interrupt that it
/// connected is disconnected.
void CloseInterruptHandle(Driver::State& s, Device& d, Handle handle);
Status WaitInterrupt(Driver::State& s, Device& d, Handle handle, Request& r, Completion done);
/// Ends every wait of `d` (for `handle`, or all with kInvalidHandle) with `status`.
void AbortWaits(Driver::State& s, Device& d, Handle handle, Status status);
/// One interrupt of `d`: runs its identification and service ops and answers
/// a pending wait, or keeps it for the next wait.
void DeliverInterrupt(Driver::State& s, Device& d);

} // namespace qdriver

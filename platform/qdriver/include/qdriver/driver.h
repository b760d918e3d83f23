#pragma once
// The Quenlo kernel driver, run in process. It opens device paths into handles
// and answers the control codes of qdriver/wire.h with the NT or the Windows 9x
// personality. Devices are configured in the registry; the driver starts those
// not marked Dynamic when it loads and others on request, refusing resources
// that another device or the system already owns unless the device's
// configuration says IgnoreConflicts. Memory mappings show a simulated physical
// memory in the process. Every request is logged (the most recent
// kRequestLogLimit are kept, within kRequestLogBytes of input); faults can be
// injected per control code.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <qdriver/export.h>
#include <qdriver/port_space.h>
#include <qdriver/wire.h>
#include <registry/registry.h>

namespace qdriver {

using Handle = int32_t;
inline constexpr Handle kInvalidHandle = -1;
/// Open flag: the handle takes asynchronous requests.
inline constexpr uint32_t kOpenOverlapped = 1;

/// Completion of an asynchronous request: its status and the bytes returned.
using Completion = std::function<void(win32::Status status, uint32_t returned)>;

/// A resource that the system owns, so devices may only take it when they
/// ignore conflicts.
struct Resource {
    enum Kind { Ports, Interrupt, Memory } kind;
    uint32_t base;
    uint32_t count = 1;
};

struct DriverOptions {
    std::shared_ptr<registry::Registry> registry;
    std::shared_ptr<IoBus> bus = std::make_shared<IoBus>();
    int platformId = wire::kPlatformNt;
    std::vector<Resource> systemResources;
    /// Jumps and polls one op queue may make before it fails with ERROR_TIMEOUT.
    uint32_t iterationCap = 100000;
};

/// How many of the most recent requests the log keeps, so a long-running
/// program that polls its ports does not grow without bound.
inline constexpr size_t kRequestLogLimit = 4096;
/// How many bytes of request input the log keeps at most (the latest request is
/// always kept), so that large op queues do not pile up copies of their data.
inline constexpr size_t kRequestLogBytes = size_t(16) << 20;

/// How many interrupts a device keeps, each with its data, while no wait is
/// pending.
inline constexpr size_t kLatchedInterruptLimit = 1024;

struct LoggedRequest {
    std::string device; // device name, or the control path
    uint32_t code;
    std::vector<uint8_t> input;
    uint32_t outputLength;
    win32::Status status;
    uint32_t returned;
};

/// An injected failure: the next `count` requests with `code` fail with
/// `status`, or, when `status` is kSuccess, are served and report `returned`
/// (a pending request when it completes).
struct Fault {
    uint32_t code;
    win32::Status status;
    std::optional<uint32_t> returned;
    int count = 1;
};

class QDRIVER_API Driver {
public:
    explicit Driver(DriverOptions options);
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    /// The platform id the driver's personality answers to.
    int PlatformId() const;
    /// The I/O bus the driver serves; the direct port instructions of a Windows
    /// 9x program reach it without a request.
    IoBus& Bus() const;
    /// Opens "\\.\<device>" (NT) or "\\.\QUENLO.VXD" (9x); kInvalidHandle with
    /// `*error` set when there is no such device.
    Handle Open(std::string_view path, uint32_t flags, win32::Status* error);
    win32::Status Close(Handle handle);
    /// Serves one request to completion.
    win32::Status Control(Handle handle, uint32_t code, const void* in, uint32_t inLength,
                          void* out, uint32_t outLength, uint32_t* returned);
    /// Serves a request on an overlapped handle: kSuccess when it completed at
    /// once, kIoPending when `done` will be called later (on another thread, or
    /// from Cancel with ERROR_OPERATION_ABORTED); the buffers must stay valid
    /// until then.
    win32::Status Submit(Handle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                         uint32_t outLength, uint32_t* returned, Completion done);
    /// Completes every pending request of the handle with ERROR_OPERATION_ABORTED.
    win32::Status Cancel(Handle handle);

    /// Interrupt `level` on the bus: every device connected to it whose
    /// identification op (when configured) claims it runs its service op and
    /// answers one pending wait, or keeps the interrupt with its data for the
    /// next wait (up to kLatchedInterruptLimit of them), while
    /// interrupt delivery (property 1) is enabled. The driver hears its bus's
    /// interrupt lines through this; an interrupt raised from inside a port access
    /// is delivered when that request ends, once however often it was raised.
    void RaiseInterrupt(uint32_t level);

    bool IsRunning(std::string_view device) const;
    /// The logged requests, oldest first.
    std::vector<LoggedRequest> Log() const;
    void ClearLog();
    void InjectFault(Fault fault);
    /// The simulated physical memory, as a bus master sees it; false when the
    /// range leaves the 4 GiB.
    bool ReadPhysical(uint32_t address, void* data, uint32_t length) const;
    bool WritePhysical(uint32_t address, const void* data, uint32_t length);

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace qdriver

#include <qdriver/driver.h>

#include <algorithm>
#include <utility>

#include "driver_state.h"
#include <base/text_case.h>

namespace qdriver {
namespace {

using namespace wire;

constexpr std::string_view kPathPrefix = "\\\\.\\";

// A name sent with its terminating zero, within the request.
bool NameWithZero(const Request& r, std::string* name)
{
    const auto* end = std::find(r.in, r.in + r.inLength, uint8_t(0));
    if (end == r.in + r.inLength)
        return false;
    name->assign(reinterpret_cast<const char*>(r.in), static_cast<size_t>(end - r.in));
    return true;
}

bool IsControlCode(uint32_t code)
{
    return code == kStartDevice || code == kStopDevice || code == kOpenContext;
}

Status ControlRequest(Driver::State& s, const OpenFile& file, Request& r)
{
    const bool nt = s.options.platformId == kPlatformNt;
    const bool controlDevice =
        nt ? file.device && file.device->name == kDefaultDevice : !file.device;
    if (!controlDevice)
        return win32::kInvalidFunction;
    std::string name;
    if (r.code == kOpenContext) {
        if (nt)
            return win32::kInvalidFunction;
        if (r.outLength < 4)
            return win32::kInsufficientBuffer;
        name.assign(reinterpret_cast<const char*>(r.in), r.inLength);
        auto d = FindDevice(s, name);
        PutWord(r.out, 0, d ? d->context : kNoContext);
        r.returned = 4;
        return win32::kSuccess;
    }
    if (!NameWithZero(r, &name))
        return win32::kInvalidParameter;
    return r.code == kStartDevice ? StartDevice(s, name) : StopDevice(s, name);
}

Device* TargetDevice(Driver::State& s, const OpenFile& file, const Request& r, Status* error)
{
    if (file.device) {
        *error = file.device->running ? win32::kSuccess : win32::kDeviceNotConnected;
        return file.device->running ? file.device.get() : nullptr;
    }
    *error = win32::kInvalidParameter;
    if (r.inLength < 4)
        return nullptr;
    const uint32_t context = GetWord(r.in, 0);
    for (auto& [key, d] : s.devices)
        if (d->context == context) {
            *error = win32::kSuccess;
            return d.get();
        }
    *error = win32::kDeviceNotConnected;
    return nullptr;
}

Status Dispatch(Driver::State& s, Handle handle, const OpenFile& file, Request& r, Completion done)
{
    if (IsControlCode(r.code))
        return ControlRequest(s, file, r);
    Status error = win32::kSuccess;
    Device* d = TargetDevice(s, file, r, &error);
    if (!d)
        return error;
    switch (r.code) {
    case kExecuteQueue:
        return ExecuteQueue(s, *d, r);
    case kGetProperty:
        return GetProperty(*d, r);
    case kSetProperty:
        return SetProperty(*d, r);
    case kMapPorts:
        return MapPorts(s, *d, r);
    case kMapMemory:
        return MapMemory(s, *d, r);
    case kUnmapMemory:
        return UnmapMemory(s, *d, r);
    case kUnmapPorts:
        return UnmapPorts(*d, r);
    case kBlockRead:
    case kBlockReadDirect:
    case kBlockWrite:
    case kBlockWriteDirect:
        return BlockTransfer(s, *d, r);
    case kGetBusData:
        return GetBusData(*d, r);
    case kSetBusData:
        return SetBusData(*d, r);
    case kConnectInterrupt:
        return ConnectInterrupt(s, *d, handle, r);
    case kDisconnectInterrupt:
        return DisconnectInterrupt(s, *d, r);
    case kWaitInterrupt:
        return WaitInterrupt(s, *d, handle, r, std::move(done));
    default:
        return win32::kInvalidFunction;
    }
}

void RunDue(std::vector<DueCompletion> due)
{
    for (DueCompletion& c : due)
        c.done(c.status, c.returned);
}

void DeliverLevel(Driver::State& s, uint32_t level)
{
    for (auto& [key, d] : s.devices)
        if (d->interruptConnected && d->connectedLevel == level)
            DeliverInterrupt(s, *d);
}

// Rounds of delivery one call makes for interrupts raised during delivery.
constexpr int kDeliveryRounds = 16;

// Marks the thread that holds the driver's lock and touches the bus, so that an
// interrupt a port model raises meanwhile is queued instead of taking the lock
// again. On leaving, the queued interrupts are delivered under the same mark;
// service ops may raise more, which wait for the next round, and those left
// after the last round for the next request, so a model that interrupts on
// every acknowledgement can neither deadlock nor hang the driver.
class Serving {
public:
    explicit Serving(Driver::State& s) : s_(s) { s_.servingThread = std::this_thread::get_id(); }
    ~Serving()
    {
        for (int round = 0; round < kDeliveryRounds && !s_.raisedWhileServing.empty(); ++round)
            for (uint32_t level : std::exchange(s_.raisedWhileServing, {}))
                DeliverLevel(s_, level);
        s_.servingThread = std::thread::id{};
    }
    Serving(const Serving&) = delete;
    Serving& operator=(const Serving&) = delete;

private:
    Driver::State& s_;
};

} // namespace

Driver::Driver(DriverOptions options) : state_(std::make_unique<State>())
{
    state_->options = std::move(options);
    state_->options.bus->SetInterruptHandler(this,
                                             [this](uint32_t level) { RaiseInterrupt(level); });
    std::lock_guard lock(state_->mutex);
    LoadDevices(*state_);
}

Driver::~Driver()
{
    state_->options.bus->RemoveInterruptHandler(this);
    std::vector<DueCompletion> due;
    {
        std::lock_guard lock(state_->mutex);
        for (auto& [key, d] : state_->devices)
            AbortWaits(*state_, *d, kInvalidHandle, win32::kOperationAborted);
        due.swap(state_->due);
    }
    RunDue(std::move(due));
}

int Driver::PlatformId() const { return state_->options.platformId; }

IoBus& Driver::Bus() const { return *state_->options.bus; }

Handle Driver::Open(std::string_view path, uint32_t flags, win32::Status* error)
{
    std::lock_guard lock(state_->mutex);
    *error = win32::kFileNotFound;
    if (!path.starts_with(kPathPrefix))
        return kInvalidHandle;
    const std::string_view name = path.substr(kPathPrefix.size());
    OpenFile file{std::string(name), nullptr, (flags & kOpenOverlapped) != 0};
    const bool vxd = ondula::equal_ignoring_case(path, kVxdPath);
    if (state_->options.platformId == kPlatformNt) {
        if (vxd || !(file.device = FindDevice(*state_, std::string(name))))
            return kInvalidHandle;
    } else if (!vxd) {
        return kInvalidHandle;
    }
    *error = win32::kSuccess;
    Handle handle = state_->nextHandle++;
    state_->files[handle] = std::move(file);
    return handle;
}

win32::Status Driver::Close(Handle handle)
{
    std::vector<DueCompletion> due;
    {
        std::lock_guard lock(state_->mutex);
        auto it = state_->files.find(handle);
        if (it == state_->files.end())
            return win32::kInvalidHandle;
        for (auto& [key, d] : state_->devices)
            CloseInterruptHandle(*state_, *d, handle);
        state_->files.erase(it);
        due.swap(state_->due);
    }
    RunDue(std::move(due));
    return win32::kSuccess;
}

win32::Status Driver::Control(Handle handle, uint32_t code, const void* in, uint32_t inLength,
                              void* out, uint32_t outLength, uint32_t* returned)
{
    return Submit(handle, code, in, inLength, out, outLength, returned, nullptr);
}

win32::Status Driver::Submit(Handle handle, uint32_t code, const void* in, uint32_t inLength,
                             void* out, uint32_t outLength, uint32_t* returned, Completion done)
{
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    *returned = 0;
    auto file = s.files.find(handle);
    if (file == s.files.end())
        return win32::kInvalidHandle;
    if (done && !file->second.overlapped)
        return win32::kInvalidParameter;
    const auto* bytes = static_cast<const uint8_t*>(in);
    std::vector<uint8_t> input(bytes, bytes + (in ? inLength : 0));
    Request r{code, input.data(), static_cast<uint32_t>(input.size()), static_cast<uint8_t*>(out),
              out ? outLength : 0};
    Status status = win32::kSuccess;
    {
        Serving serving(s);
        auto fault = std::find_if(s.faults.begin(), s.faults.end(),
                                  [&](const Fault& f) { return f.code == code; });
        if (fault != s.faults.end() && fault->status != win32::kSuccess) {
            status = fault->status;
        } else {
            if (fault != s.faults.end() && fault->returned && done)
                done = [report = std::move(done), length = *fault->returned](Status st, uint32_t) {
                    report(st, st == win32::kSuccess ? length : 0);
                };
            status = Dispatch(s, handle, file->second, r, std::move(done));
            if (fault != s.faults.end() && fault->returned)
                r.returned = *fault->returned;
        }
        if (fault != s.faults.end() && --fault->count <= 0)
            s.faults.erase(fault);
        if (status == win32::kSuccess)
            *returned = r.returned;
        s.logBytes += input.size();
        s.log.push_back({file->second.path, code, std::move(input), outLength, status, *returned});
        while (s.log.size() > kRequestLogLimit ||
               (s.logBytes > kRequestLogBytes && s.log.size() > 1)) {
            s.logBytes -= s.log.front().input.size();
            s.log.pop_front();
        }
    }
    std::vector<DueCompletion> due;
    due.swap(s.due);
    lock.unlock();
    RunDue(std::move(due));
    return status;
}

win32::Status Driver::Cancel(Handle handle)
{
    std::vector<DueCompletion> due;
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->files.count(handle))
            return win32::kInvalidHandle;
        // Only the requests end: an interrupt the handle connected stays connected.
        for (auto& [key, d] : state_->devices)
            AbortWaits(*state_, *d, handle, win32::kOperationAborted);
        due.swap(state_->due);
    }
    RunDue(std::move(due));
    return win32::kSuccess;
}

void Driver::RaiseInterrupt(uint32_t level)
{
    // A port model that interrupts while the driver accesses it is on the serving
    // thread, which holds the lock: the interrupt waits until that work ends.
    // Like an interrupt controller's pending bit, a line raised again before its
    // delivery is one interrupt, so a model that interrupts on every access
    // keeps at most one per line waiting for the next request.
    if (state_->servingThread == std::this_thread::get_id()) {
        auto& raised = state_->raisedWhileServing;
        if (std::find(raised.begin(), raised.end(), level) == raised.end())
            raised.push_back(level);
        return;
    }
    std::vector<DueCompletion> due;
    {
        std::lock_guard lock(state_->mutex);
        {
            Serving serving(*state_);
            DeliverLevel(*state_, level);
        }
        due.swap(state_->due);
    }
    RunDue(std::move(due));
}

bool Driver::IsRunning(std::string_view device) const
{
    std::lock_guard lock(state_->mutex);
    return FindDevice(*state_, std::string(device)) != nullptr;
}

std::vector<LoggedRequest> Driver::Log() const
{
    std::lock_guard lock(state_->mutex);
    return {state_->log.begin(), state_->log.end()};
}

void Driver::ClearLog()
{
    std::lock_guard lock(state_->mutex);
    state_->log.clear();
    state_->logBytes = 0;
}

bool Driver::ReadPhysical(uint32_t address, void* data, uint32_t length) const
{
    std::lock_guard lock(state_->mutex);
    return state_->physical.Read(address, data, length);
}

bool Driver::WritePhysical(uint32_t address, const void* data, uint32_t length)
{
    std::lock_guard lock(state_->mutex);
    return state_->physical.Write(address, data, length);
}

void Driver::InjectFault(Fault fault)
{
    std::lock_guard lock(state_->mutex);
    state_->faults.push_back(fault);
}

} // namespace qdriver

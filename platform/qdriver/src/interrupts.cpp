#include <algorithm>
#include <cstring>

#include "driver_state.h"

namespace qdriver {

using namespace wire;

namespace {

void Disconnect(Driver::State& s, Device& d)
{
    d.interruptConnected = d.interruptEnabled = false;
    d.interruptOwner = kInvalidHandle;
    AbortWaits(s, d, kInvalidHandle, win32::kOperationAborted);
}

} // namespace

Status ConnectInterrupt(Driver::State& s, Device& d, Handle handle, Request& r)
{
    if (r.inLength < kConnectInterruptRequestSize || r.outLength < kConnectInterruptReplySize)
        return win32::kInsufficientBuffer;
    const uint32_t level = GetWord(r.in, 3);
    if (d.interruptConnected)
        return win32::kAlreadyExists;
    if (!d.resources.ignoreConflicts && Conflicts(s, &d, Resource::Interrupt, level, 1))
        return win32::kInvalidAddress;
    d.interruptConnected = true;
    d.interruptOwner = handle;
    d.connectedLevel = level;
    d.latched.clear();
    const uint32_t reply[5] = {d.context, level, GetWord(r.in, 4), GetWord(r.in, 1),
                               GetWord(r.in, 2)};
    std::memcpy(r.out, reply, sizeof reply);
    r.returned = kConnectInterruptReplySize;
    return win32::kSuccess;
}

Status DisconnectInterrupt(Driver::State& s, Device& d, Request&)
{
    if (!d.interruptConnected)
        return win32::kInvalidParameter;
    Disconnect(s, d);
    return win32::kSuccess;
}

void CloseInterruptHandle(Driver::State& s, Device& d, Handle handle)
{
    if (d.interruptConnected && d.interruptOwner == handle)
        Disconnect(s, d);
    else
        AbortWaits(s, d, handle, win32::kOperationAborted);
}

Status WaitInterrupt(Driver::State&, Device& d, Handle handle, Request& r, Completion done)
{
    if (r.inLength < 4 || r.outLength < kInterruptReplySize)
        return win32::kInsufficientBuffer;
    if (!d.interruptConnected)
        return win32::kInvalidFunction;
    if (!d.latched.empty()) {
        std::memcpy(r.out, d.latched.front().data(), kInterruptReplySize);
        d.latched.pop_front();
        r.returned = kInterruptReplySize;
        return win32::kSuccess;
    }
    if (!done)
        return win32::kInvalidParameter;
    d.waits.push_back({handle, r.out, std::move(done)});
    return win32::kIoPending;
}

void AbortWaits(Driver::State& s, Device& d, Handle handle, Status status)
{
    std::vector<PendingRequest> kept;
    for (PendingRequest& p : d.waits) {
        if (handle == kInvalidHandle || p.handle == handle)
            s.due.push_back({std::move(p.done), status, 0});
        else
            kept.push_back(std::move(p));
    }
    d.waits = std::move(kept);
}

namespace {

// Runs a configured in or out op at a device port; the value read, or the one written.
bool RunDeviceOp(Driver::State& s, Device& d, uint32_t code, uint32_t offset, uint32_t data,
                 uint32_t* value)
{
    const uint32_t width = code & 0x0F;
    uint32_t port = 0;
    if (!ValidWidth(width) || !ResolvePort(d, offset, width, &port))
        return false;
    if ((code & 0xF0) == kOpIn) {
        *value = s.options.bus->In(port, width);
        return true;
    }
    if ((code & 0xF0) != kOpOut)
        return false;
    s.options.bus->Out(port, width, data);
    *value = data;
    return true;
}

} // namespace

void DeliverInterrupt(Driver::State& s, Device& d)
{
    const DeviceResources& r = d.resources;
    uint32_t id = 0, data = 0;
    if (r.isrIdOp != 0) {
        if (!RunDeviceOp(s, d, r.isrIdOp, r.isrIdOffset, 0, &id) ||
            (id & r.isrIdMask) != r.isrIdValue)
            return;
    }
    if (r.isrOp != 0 && !RunDeviceOp(s, d, r.isrOp, r.isrOffset, r.isrData, &data))
        return;
    if (!d.interruptEnabled)
        return;
    const std::array<uint32_t, 4> reply = {0, data, id, 0};
    if (d.waits.empty()) {
        // Each kept interrupt keeps its own data, up to a bound beyond which
        // the newest are lost, as from a full hardware queue.
        if (d.latched.size() < kLatchedInterruptLimit)
            d.latched.push_back(reply);
        return;
    }
    PendingRequest p = std::move(d.waits.front());
    d.waits.erase(d.waits.begin());
    std::memcpy(p.out, reply.data(), kInterruptReplySize);
    s.due.push_back({std::move(p.done), win32::kSuccess, kInterruptReplySize});
}

} // namespace qdriver

#include <cstring>
#include <span>

#include "driver_state.h"

namespace qdriver {

using namespace wire;

Status MapPorts(Driver::State& s, Device& d, Request& r)
{
    if (r.inLength < kMapPortsRequestSize || r.outLength < kMapPortsReplySize)
        return win32::kInsufficientBuffer;
    const uint32_t space = GetWord(r.in, 1), base = GetWord(r.in, 3), count = GetWord(r.in, 4);
    if (count == 0 || uint64_t(base) + count > 0x10000)
        return win32::kInvalidParameter;
    if (space != 1)
        return win32::kNotSupported;
    uint32_t reply[6] = {d.context, 0, base, count, 0, space};
    if (d.resources.ignoreConflicts || !Conflicts(s, &d, Resource::Ports, base, count)) {
        reply[1] = 1;
        reply[4] = d.nextMapId++;
        d.portMaps[reply[4]] = {base, count};
    }
    std::memcpy(r.out, reply, sizeof reply);
    r.returned = kMapPortsReplySize;
    return win32::kSuccess;
}

Status UnmapPorts(Device& d, Request& r)
{
    if (r.inLength < 16)
        return win32::kInsufficientBuffer;
    return d.portMaps.erase(GetWord(r.in, 1)) ? win32::kSuccess : win32::kInvalidParameter;
}

Status BlockTransfer(Driver::State& s, Device& d, Request& r)
{
    if (r.inLength < kBlockRequestSize)
        return win32::kInsufficientBuffer;
    const uint32_t port = GetWord(r.in, 1), stride = GetWord(r.in, 2), length = GetWord(r.in, 3),
                   width = GetWord(r.in, 4);
    const bool autoIncrement = GetWord(r.in, 5) != 0;
    if (!ValidWidth(width) || length % width != 0)
        return win32::kInvalidParameter;
    const bool reading = r.code == kBlockRead || r.code == kBlockReadDirect;
    uint8_t* data = r.out;
    if (r.code == kBlockWrite) {
        if (r.inLength - kBlockRequestSize < length)
            return win32::kInsufficientBuffer;
        data = const_cast<uint8_t*>(r.in) + kBlockRequestSize;
    } else if (r.outLength < length) {
        return win32::kInsufficientBuffer;
    }
    const uint32_t step = autoIncrement ? width : stride;
    std::vector<uint32_t> ports(length / width);
    for (uint32_t i = 0; i < ports.size(); ++i)
        if (!ResolvePort(d, static_cast<uint32_t>(port + uint64_t(i) * step), width, &ports[i]))
            return win32::kAccessDenied;
    IoBus& bus = *s.options.bus;
    for (uint32_t i = 0; i < ports.size(); ++i) {
        uint32_t value = 0;
        if (reading) {
            value = bus.In(ports[i], width);
            std::memcpy(data + i * width, &value, width);
        } else {
            std::memcpy(&value, data + i * width, width);
            bus.Out(ports[i], width, value);
        }
    }
    r.returned = reading ? length : 0;
    return win32::kSuccess;
}

namespace {

// The part of the device's bus data that a request of at least `least` bytes
// names by offset (word 1) and length (word 2).
Status BusDataSpan(Device& d, const Request& r, uint32_t least, std::span<uint8_t>* span)
{
    if (r.inLength < least)
        return win32::kInsufficientBuffer;
    const uint32_t offset = GetWord(r.in, 1), length = GetWord(r.in, 2);
    if (uint64_t(offset) + length > kBusDataSize)
        return win32::kInvalidParameter;
    *span = std::span(d.busData).subspan(offset, length);
    return win32::kSuccess;
}

} // namespace

Status GetBusData(Device& d, Request& r)
{
    std::span<uint8_t> data;
    if (const Status status = BusDataSpan(d, r, kBusDataRequestSize, &data);
        status != win32::kSuccess)
        return status;
    if (r.outLength < data.size())
        return win32::kInsufficientBuffer;
    std::memcpy(r.out, data.data(), data.size());
    r.returned = uint32_t(data.size());
    return win32::kSuccess;
}

Status SetBusData(Device& d, Request& r)
{
    std::span<uint8_t> data;
    if (const Status status = BusDataSpan(d, r, kBusDataOffset, &data); status != win32::kSuccess)
        return status;
    if (r.inLength - kBusDataOffset < data.size())
        return win32::kInsufficientBuffer;
    std::memcpy(data.data(), r.in + kBusDataOffset, data.size());
    return win32::kSuccess;
}

Status GetProperty(Device& d, Request& r)
{
    if (r.inLength < 16 || r.outLength < 4)
        return win32::kInsufficientBuffer;
    uint32_t value = 0;
    switch (GetWord(r.in, 1)) {
    case kPropertyInterruptEnabled:
        value = d.interruptEnabled;
        break;
    case kPropertyInterruptConnected:
        value = d.interruptConnected;
        break;
    default:
        return win32::kInvalidParameter;
    }
    PutWord(r.out, 0, value);
    r.returned = 4;
    return win32::kSuccess;
}

Status SetProperty(Device& d, Request& r)
{
    if (r.inLength < 16)
        return win32::kInsufficientBuffer;
    const uint32_t value = GetWord(r.in, 2);
    switch (GetWord(r.in, 1)) {
    case kPropertyInterruptEnabled:
        if (value > 1 || (value == 1 && !d.interruptConnected))
            return win32::kInvalidParameter;
        d.interruptEnabled = value == 1;
        return win32::kSuccess;
    case kPropertyInterruptConnected:
        return win32::kAccessDenied;
    default:
        return win32::kInvalidParameter;
    }
}

} // namespace qdriver

#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "live_objects.h"
#include "request.h"
#include <hwaccess/client.h>

namespace hw {
namespace {

using namespace qdriver::wire;

std::array<uint32_t, 8> BlockRequest(const HwDevice* device, uint32_t port, uint32_t stride,
                                     uint32_t length, uint32_t width)
{
    const bool autoIncrementBytes = width == kWidthAutoIncrementBytes;
    return {device->driverContext,        port, stride, length, autoIncrementBytes ? 1u : width,
            autoIncrementBytes ? 1u : 0u, 0,    0};
}

// True, with ERROR_INVALID_PARAMETER, when `length` bytes are to be sent from no buffer.
bool MissingData(const void* data, uint32_t length)
{
    if (data || length == 0)
        return false;
    qdriver::SetLastError(win32::kInvalidParameter);
    return true;
}

} // namespace

BOOL HwAutoIncReadPort(HwDevice* device, uint32_t port, uint32_t stride, void* buffer,
                       uint32_t length, uint32_t width)
{
    if (!IsLive(device))
        return false;
    const auto request = BlockRequest(device, port, stride, length, width);
    const uint32_t code =
        length <= kBlockBufferedLimit && !IsOn95() ? kBlockRead : kBlockReadDirect;
    return SendRequest(device, code, request.data(), kBlockRequestSize, buffer, length);
}

BOOL HwAutoIncWritePort(HwDevice* device, uint32_t port, uint32_t stride, const void* buffer,
                        uint32_t length, uint32_t width)
{
    if (!IsLive(device) || MissingData(buffer, length))
        return false;
    const auto request = BlockRequest(device, port, stride, length, width);
    if (length > kBlockBufferedLimit || IsOn95())
        return SendRequest(device, kBlockWriteDirect, request.data(), kBlockRequestSize,
                           const_cast<void*>(buffer), length);
    std::array<uint8_t, kBlockRequestSize + kBlockBufferedLimit> combined;
    std::memcpy(combined.data(), request.data(), kBlockRequestSize);
    if (length)
        std::memcpy(combined.data() + kBlockRequestSize, buffer, length);
    return SendRequest(device, kBlockWrite, combined.data(), kBlockRequestSize + length, nullptr,
                       0);
}

BOOL HwMapPorts(HwDevice* device, uint32_t base, uint32_t count, uint32_t* mapping)
{
    return HwMapPortsEx(device, base, count, 1, 0, mapping);
}

BOOL HwMapPortsEx(HwDevice* device, uint32_t base, uint32_t count, uint32_t space, uint32_t bus,
                  uint32_t* mapping)
{
    if (!IsLive(device) || !mapping)
        return false;
    const uint32_t request[8] = {device->driverContext, space, bus, base, count, *mapping, 0, 0};
    uint32_t reply[6] = {};
    uint32_t returned = 0;
    if (!SendRequest(device, kMapPorts, request, sizeof request, reply, sizeof reply, &returned) ||
        returned != kMapPortsReplySize || reply[1] == 0)
        return false;
    *mapping = reply[4];
    return true;
}

BOOL HwUnmapPorts(HwDevice* device, uint32_t mapping)
{
    if (!IsLive(device))
        return false;
    const uint32_t request[4] = {device->driverContext, mapping, 0, 0};
    return SendRequest(device, kUnmapPorts, request, sizeof request, nullptr, 0);
}

BOOL HwGetBusDataByOffset(HwDevice* device, uint32_t offset, void* buffer, uint32_t length)
{
    if (!IsLive(device))
        return false;
    const uint32_t request[8] = {device->driverContext, offset, length, 0, 0, 0, 0, 0};
    return SendRequest(device, kGetBusData, request, sizeof request, buffer, length);
}

BOOL HwSetBusDataByOffset(HwDevice* device, uint32_t offset, const void* data, uint32_t length)
{
    if (!IsLive(device) || MissingData(data, length) ||
        length > std::numeric_limits<uint32_t>::max() - kBusDataRequestSize)
        return false;
    std::vector<uint8_t> request;
    try {
        request.assign(length + kBusDataRequestSize, 0);
    } catch (const std::bad_alloc&) {
        qdriver::SetLastError(win32::kNotEnoughMemory);
        return false;
    }
    PutWord(request.data(), 0, device->driverContext);
    PutWord(request.data(), 1, offset);
    PutWord(request.data(), 2, length);
    if (length)
        std::memcpy(request.data() + kBusDataOffset, data, length);
    return SendRequest(device, kSetBusData, request.data(), uint32_t(request.size()), nullptr, 0);
}

} // namespace hw

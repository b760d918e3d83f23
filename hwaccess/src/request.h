#pragma once
// One request on a device record's synchronous handle.
#include <hwaccess/hw_types.h>
#include <qdriver/transport.h>

namespace hw {

inline bool SendRequest(const HwDevice* device, uint32_t code, const void* in, uint32_t inLength,
                        void* out, uint32_t outLength, uint32_t* returned = nullptr)
{
    if (!device) {
        qdriver::SetLastError(win32::kInvalidParameter);
        return false;
    }
    return qdriver::DeviceControl(device->syncHandle, code, in, inLength, out, outLength, returned);
}

} // namespace hw

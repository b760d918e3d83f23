// Byte access to the ports of one of the workbench's cards. On Windows NT it
// goes through the hardware access library's device of that name, connected
// and configured to ignore resource conflicts; on Windows 9x it takes direct
// port instructions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hw_device.h"
#include "message_sink.h"

namespace instruments {

class DevicePorts {
public:
    // Ports [base, base + count) of driver device `device`. When it cannot be
    // connected, `failure` is said through `messages` and the ports stay
    // closed: reads give 0, writes go nowhere.
    DevicePorts(const char* device, uint32_t base, const std::string& failure,
                const MessageSink& messages);

    bool IsOpen() const;
    // True on Windows 9x, where the ports are reached without the library.
    bool IsDirect() const { return m_bDirect; }
    uint8_t Read(uint32_t port);
    void Write(uint32_t port, uint8_t value);

private:
    uint32_t m_nBase;
    bool m_bDirect;
    std::unique_ptr<CHwDevice> m_pDevice;
};

} // namespace instruments

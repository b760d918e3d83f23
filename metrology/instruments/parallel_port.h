// The data register of the first parallel port (0x378), write only, through
// the hardware access library's device "lpt" on Windows NT.
#pragma once

#include <cstdint>

#include "device_ports.h"

namespace instruments {

class CParallelPort {
public:
    // Connects to "lpt"; when that fails the connection message is said once
    // and every write is ignored.
    explicit CParallelPort(const MessageSink& messages);

    bool IsOpen() const { return m_ports.IsOpen(); }
    void WritePort(uint32_t port, uint8_t value) { m_ports.Write(port, value); }
    void WriteData(uint8_t value);

private:
    DevicePorts m_ports;
};

} // namespace instruments

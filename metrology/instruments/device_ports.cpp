#include "device_ports.h"

#include <hwaccess/client.h>

namespace instruments {

DevicePorts::DevicePorts(const char* device, uint32_t base, const std::string& failure,
                         const MessageSink& messages)
    : m_nBase(base), m_bDirect(hw::PortsAreDirect())
{
    if (m_bDirect)
        return;
    m_pDevice = std::make_unique<CHwDevice>();
    if (!hw::HwConnectDevice(m_pDevice->Record(), device)) {
        messages(failure);
        return;
    }
    HwDeviceConfig config;
    hw::HwZeroDeviceConfig(&config);
    hw::HwGetDeviceConfig(device, &config);
    config.IgnoreConflicts = 1;
    hw::HwConfigureDevice(device, &config);
}

bool DevicePorts::IsOpen() const { return m_bDirect || m_pDevice->IsConnected(); }

uint8_t DevicePorts::Read(uint32_t port)
{
    if (m_bDirect)
        return hw::DirectInp(port);
    return IsOpen() ? hw::HwInp(m_pDevice->Record(), port - m_nBase) : 0;
}

void DevicePorts::Write(uint32_t port, uint8_t value)
{
    if (m_bDirect)
        hw::DirectOutp(port, value);
    else if (IsOpen())
        hw::HwOutp(m_pDevice->Record(), port - m_nBase, value);
}

} // namespace instruments

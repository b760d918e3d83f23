#include "hw_device.h"

#include <hwaccess/client.h>

namespace instruments {

CHwDevice::CHwDevice()
{
    hw::CommonConstructDevice(&m_record, &CHwDevice::Interrupt);
    m_record.callerData = this;
}

CHwDevice::~CHwDevice() { hw::CommonDestroyDevice(&m_record); }

bool CHwDevice::IsConnected() const { return hw::IsDeviceConnected(&m_record); }

void CHwDevice::Interrupt(HwDevice* record)
{
    static_cast<CHwDevice*>(record->callerData)->OnInterrupt();
}

} // namespace instruments

#include "hw_device.h"

#include "hwaccess/client.h"
#include "qdriver/driver.h"

namespace instruments {

CHwDevice::CHwDevice()
{
    hw::CommonConstructDevice(&m_record, &CHwDevice::Interrupt);
    m_record.callerData = this;
}

CHwDevice::~CHwDevice() { hw::CommonDestroyDevice(&m_record); }

bool CHwDevice::IsConnected() const { return m_record.syncHandle != qdriver::kInvalidHandle; }

void CHwDevice::Interrupt(HwDevice* record)
{
    static_cast<CHwDevice*>(record->callerData)->OnInterrupt();
}

} // namespace instruments

// A device record of the hardware access library inside an object: the record
// is built and destroyed with the object, and its interrupt callback reaches
// the object through the record's caller data.
#pragma once

#include <hwaccess/hw_types.h>

namespace instruments {

class CHwDevice {
public:
    CHwDevice();
    // Disconnects the record and destroys it.
    virtual ~CHwDevice();
    CHwDevice(const CHwDevice&) = delete;
    CHwDevice& operator=(const CHwDevice&) = delete;

    // Called for each interrupt the library's service thread reports; this
    // program never enables interrupt service.
    virtual void OnInterrupt() { }

    HwDevice* Record() { return &m_record; }
    // True while the record holds an open connection.
    bool IsConnected() const;

private:
    static void Interrupt(HwDevice* record);

    HwDevice m_record;
};

} // namespace instruments

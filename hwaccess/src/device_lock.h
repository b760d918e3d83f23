#pragma once
// Holds a device record's recursive lock, under which op queues and interrupt
// callbacks take turns.
#include <hwaccess/hw_types.h>

namespace hw {

class DeviceLock {
public:
    explicit DeviceLock(HwDevice& device) : device_(device) { pthread_mutex_lock(&device_.lock); }
    ~DeviceLock() { pthread_mutex_unlock(&device_.lock); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    HwDevice& device_;
};

} // namespace hw

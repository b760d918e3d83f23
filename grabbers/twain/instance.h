// The plug-in's records: the one instance and the device it names.
#pragma once

#include <cstdint>

#include <fgint/fgint.h>
#include <fgint/instance_record.h>
#include <twain/protocol.h>

namespace vfgtwain {

// The device an instance was opened on, allocated through the host (288 bytes).
struct TwainDevice {
    char name[284];     // `device` of the open, terminated
    int32_t references; // instances that use it
};
static_assert(sizeof(TwainDevice) == 288);

struct TwainInstance {
    bool in_use = false;
    TwainDevice* device = nullptr;
    bool show_ui = true;        // the source shows its dialog during a grab
    bool keep_settings = false; // camera type "interactive:<unit>": SaveSettings after a grab
    TW_UINT16 kept_units = TWUN_INCHES; // that unit
    // The asynchronous grab as the host asked for it; the image's age is not
    // compared with the delay.
    int32_t max_delay_ms = 10000; // rounded to whole milliseconds
    int64_t start_seconds = 0;    // when the grab was started, on the platform clock
    int32_t start_milliseconds = 0;
};

// The record bound to the host's instance at allocation.
inline constexpr auto& Record = fg::Record<TwainInstance>;

} // namespace vfgtwain

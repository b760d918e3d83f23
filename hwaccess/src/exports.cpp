// The C exports of Qnlo34: generated forwarders to the library, and the
// functions whose C form differs, written out below: the record functions
// exchange the 68-byte short record only.
#include <cstring>

#include <hwaccess/client.h>
#include <hwaccess/qnlo34.h>

extern "C" {

#define HW_FORWARD(result, name, parameters, arguments)                                            \
    result name parameters { return hw::name arguments; }
#define HW_OWN(result, name, parameters, arguments)
#define HW_FUNCTION(form, result, name, parameters, arguments)                                     \
    HW_##form(result, name, parameters, arguments)
#include <hwaccess/hw_functions.def>
#undef HW_FUNCTION
#undef HW_OWN
#undef HW_FORWARD

void HwTrace(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    hw::HwTraceV(format, args);
    va_end(args);
}

int HwZeroDeviceConfig(HwDeviceConfig* config)
{
    if (config)
        std::memset(config, 0, HW_SHORT_CONFIG_SIZE);
    return 0;
}

// Their words lie past the short record, which may be all the caller holds:
// even the size word is not the caller's to be read.
BOOL HwConfigureIsrIdOp(HwDeviceConfig*, uint32_t, uint32_t, uint32_t, uint32_t) { return false; }

BOOL HwConfigureMemoryIo(HwDeviceConfig*, BOOL) { return false; }

BOOL HwConfigureDevice(const char* name, const HwDeviceConfig* config)
{
    if (!config)
        return false;
    HwDeviceConfig full;
    hw::HwZeroDeviceConfig(&full);
    std::memcpy(&full, config, HW_SHORT_CONFIG_SIZE);
    return hw::HwConfigureDevice(name, &full);
}

BOOL HwGetDeviceConfig(const char* name, HwDeviceConfig* config)
{
    if (!config)
        return false;
    HwDeviceConfig read;
    const BOOL found = hw::HwGetDeviceConfig(name, &read);
    std::memcpy(config, &read, HW_SHORT_CONFIG_SIZE);
    return found;
}

BOOL HwEnumerateDevices(uint32_t index, char* name, HwDeviceConfig* config)
{
    if (!config)
        return false;
    HwDeviceConfig read;
    if (!hw::HwEnumerateDevices(index, name, &read))
        return false;
    std::memcpy(config, &read, HW_SHORT_CONFIG_SIZE);
    return true;
}

} // extern "C"

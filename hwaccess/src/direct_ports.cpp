// Port access without a device, as the program did it on Windows 9x: straight
// on the system's I/O bus.
#include <hwaccess/client.h>
#include <qdriver/driver.h>
#include <qdriver/transport.h>

namespace hw {

bool PortsAreDirect() { return qdriver::PlatformId() == qdriver::wire::kPlatform9x; }

uint8_t DirectInp(uint32_t port)
{
    return static_cast<uint8_t>(qdriver::CurrentDriver()->Bus().In(port, 1));
}

void DirectOutp(uint32_t port, uint8_t value)
{
    qdriver::CurrentDriver()->Bus().Out(port, 1, value);
}

} // namespace hw

#include "serial_line.h"

#include <cstdlib>

namespace instruments {
namespace {

constexpr cc_t kXon = 0x11;
constexpr cc_t kXoff = 0x13;

} // namespace

std::string SerialDevicePath(int portIndex)
{
    static const char* const kVariables[] = {"ONDULA_COM1", "ONDULA_COM2"};
    static const char* const kDefaults[] = {"/dev/ttyS0", "/dev/ttyS1"};
    if (portIndex != 0 && portIndex != 1)
        return {};
    const char* configured = std::getenv(kVariables[portIndex]);
    return configured && *configured ? configured : kDefaults[portIndex];
}

void ApplySupplyLine(termios& line, int model)
{
    cfmakeraw(&line);
    cfsetispeed(&line, B9600);
    cfsetospeed(&line, B9600);
    // What an earlier user of the device left must not change the framing
    // (mark or space parity) or the flow control (other XON/XOFF characters,
    // any byte ending an XOFF).
    line.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    if (model == 0)
        line.c_cflag |= PARENB | PARODD | CSTOPB;
    line.c_iflag &= ~IXANY;
    line.c_iflag |= IXON | IXOFF;
    line.c_cc[VSTART] = kXon;
    line.c_cc[VSTOP] = kXoff;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
}

bool HoldsAllButParity(const termios& wanted, const termios& now)
{
    return wanted.c_iflag == now.c_iflag && wanted.c_oflag == now.c_oflag &&
           wanted.c_lflag == now.c_lflag && (wanted.c_cflag & ~PARENB) == (now.c_cflag & ~PARENB) &&
           cfgetispeed(&wanted) == cfgetispeed(&now) && cfgetospeed(&wanted) == cfgetospeed(&now) &&
           wanted.c_cc[VMIN] == now.c_cc[VMIN] && wanted.c_cc[VTIME] == now.c_cc[VTIME];
}

} // namespace instruments

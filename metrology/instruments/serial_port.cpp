#include "serial_port.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "serial_line.h"

namespace instruments {
namespace {

using namespace std::chrono_literals;

constexpr auto kByteTimeout = 1s;
constexpr auto kPollInterval = 1ms;
constexpr auto kByteSpacing = 20ms;
constexpr auto kScheduleSlack = 2ms;
constexpr int16_t kFullScaleSetpoint = 1023;

std::string ComText(const char* format, int portIndex)
{
    char text[96];
    std::snprintf(text, sizeof text, format, portIndex + 1);
    return text;
}

} // namespace

CSerialPort::CSerialPort(int portIndex, int model, ondula::Clock& clock, MessageSink messages)
    : m_nComPort(portIndex), m_clock(clock), m_messages(std::move(messages))
{
    const std::string path = SerialDevicePath(portIndex);
    if (path.empty())
        return;
    m_hPort = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // The advisory lock keeps out a second user even where the exclusive mode
    // does not (root ignores it).
    if (m_hPort >= 0 && ::flock(m_hPort, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_hPort);
        m_hPort = -1;
    }
    if (m_hPort < 0) {
        m_messages(ComText("Erreur d'ouverture du port série COM%d !", portIndex));
        return;
    }
    ::ioctl(m_hPort, TIOCEXCL);
    // A line that is not set as the supply expects would carry garbage.
    if (!SetupLine(model)) {
        Close();
        m_bLineRefused = true;
    }
}

CSerialPort::~CSerialPort() { Close(); }

void CSerialPort::Close()
{
    if (m_hPort < 0)
        return;
    // A UART's close waits for its queue to drain, up to the driver's closing
    // wait (30 s): what a supply holding XOFF, or gone, never took is dropped
    // first. An empty queue is left alone: a pseudo-terminal always reads empty,
    // and flushing it would drop what its far end has not read yet.
    int queued = 0;
    if (::ioctl(m_hPort, TIOCOUTQ, &queued) != 0 || queued > 0)
        ::tcflush(m_hPort, TCOFLUSH);
    // A pseudo-terminal keeps the exclusive mode after this close.
    ::ioctl(m_hPort, TIOCNXCL);
    ::close(m_hPort);
    m_hPort = -1;
}

void CSerialPort::GiveUp()
{
    m_bDead = true;
    m_messages(ComText("L'alimentation piézo ne répond pas (COM%d) !", m_nComPort));
}

bool CSerialPort::SetupLine(int model)
{
    termios line{};
    bool accepted = ::tcgetattr(m_hPort, &line) == 0;
    if (accepted) {
        ApplySupplyLine(line, model);
        accepted = ::tcsetattr(m_hPort, TCSANOW, &line) == 0;
        termios now{};
        if (!accepted && errno == EINVAL && ::tcgetattr(m_hPort, &now) == 0)
            accepted = HoldsAllButParity(line, now);
    }
    if (!accepted)
        m_messages("Erreur fonction BuildCommDCB");
    return accepted;
}

bool CSerialPort::WriteByte(char byte)
{
    const ondula::Deadline deadline(m_clock, kByteTimeout);
    for (;;) {
        const ssize_t written = ::write(m_hPort, &byte, 1);
        if (written == 1)
            break;
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (deadline.Expired())
            return false;
        m_clock.SleepFor(kPollInterval);
    }
    // A UART keeps what it accepted in its queue: the byte has left when the
    // queue is empty.
    int queued = 0;
    while (::ioctl(m_hPort, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (deadline.Expired())
            return false;
        m_clock.SleepFor(kPollInterval);
    }
    return true;
}

bool CSerialPort::Write(const char* text)
{
    if (m_bDead)
        return false;
    if (m_hPort < 0) {
        if (m_bLineRefused)
            GiveUp();
        return false;
    }
    for (const char* p = text; *p; ++p) {
        if (!WriteByte(*p)) {
            GiveUp();
            return false;
        }
    }
    return true;
}

void CSerialPort::SendSetpoint(int16_t value)
{
    if (value > kFullScaleSetpoint)
        value = kFullScaleSetpoint;
    if (value < 0)
        value = 0;
    char text[8];
    std::snprintf(text, sizeof text, "%d\r", value);
    // The bytes keep a 20 ms schedule: a pause may be cut by up to 2 ms to make
    // up for a late wake-up; a byte that left later than that starts the
    // schedule again.
    auto due = m_clock.Now();
    for (const char* p = text; *p; ++p) {
        const char byte[2] = {*p, 0};
        if (!Write(byte))
            return;
        const auto now = m_clock.Now();
        if (now - due > kScheduleSlack)
            due = now;
        due += kByteSpacing;
        m_clock.SleepFor(due - now);
    }
}

} // namespace instruments

#include <piezo_supply/supply_simulator.h>

#include <algorithm>
#include <cctype>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace piezo_supply {
namespace {

constexpr char kXoff = 0x13;
constexpr char kXon = 0x11;
constexpr char kCarriageReturn = '\r';
constexpr int kLargestSetpoint = 1023;
// What an error keeps of a line: a line without an end (noise on the wire)
// would otherwise grow for as long as the supply serves.
constexpr std::size_t kLongestLine = 16;
// How long the port's end may take to obey XON or XOFF (real time).
constexpr auto kFlowAnswerTime = std::chrono::seconds(2);

} // namespace

SupplySimulator::SupplySimulator(ondula::Clock& clock, SupplyOptions options)
    : clock_(clock), options_(options)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128];
    int packets = 1;
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0 || ::ioctl(master_, TIOCPKT, &packets) != 0) {
        Unplug();
        return;
    }
    path_ = name;
}

SupplySimulator::~SupplySimulator() { Unplug(); }

void SupplySimulator::Unplug()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void SupplySimulator::WaitForInput(int timeoutMs) const
{
    pollfd wait{master_, POLLIN | POLLPRI, 0};
    if (::poll(&wait, 1, timeoutMs) == 1 && wait.revents == POLLHUP)
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
}

void SupplySimulator::Service()
{
    ReadStatus(0);
    if (holding_ && options_.flow == Flow::XoffPerLine && clock_.Now() >= releaseAt_)
        Hold(false);
}

// Reads every packet that has arrived, waiting up to `timeoutMs` for the first.
// Packets carry the port's bytes or the state of its output (stopped or not).
void SupplySimulator::ReadStatus(int timeoutMs)
{
    pollfd wait{master_, POLLIN | POLLPRI, 0};
    if (master_ < 0 || ::poll(&wait, 1, timeoutMs) <= 0)
        return;
    unsigned char packet[512];
    ssize_t n;
    while (master_ >= 0 && (n = ::read(master_, packet, sizeof packet)) > 0) {
        if (packet[0] == TIOCPKT_DATA) {
            for (ssize_t i = 1; i < n; ++i)
                Receive(char(packet[i]));
            continue;
        }
        if (packet[0] & TIOCPKT_STOP)
            stopped_ = true;
        if (packet[0] & TIOCPKT_START)
            stopped_ = false;
    }
}

void SupplySimulator::Receive(char byte)
{
    bytes_.push_back({byte, clock_.Now()});
    if (byte == kCarriageReturn)
        EndLine();
    else if (line_.size() < kLongestLine)
        line_ += byte;
    else
        lineCut_ = true;
    if (options_.flow == Flow::Dead && !holding_)
        Hold(true);
}

void SupplySimulator::EndLine()
{
    const bool digits =
        !line_.empty() && line_.size() <= 4 && std::all_of(line_.begin(), line_.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
    const int value = digits ? std::stoi(line_) : -1;
    if (!digits || value > kLargestSetpoint) {
        errors_.push_back("line \"" + line_ + (lineCut_ ? "...\"" : "\""));
    } else if (!LineMatchesModel()) {
        errors_.push_back("line settings differ from model " + std::to_string(options_.model));
    } else {
        voltage_ = value / double(kLargestSetpoint) * options_.fullScale;
        setpoints_.push_back({value, voltage_, clock_.Now()});
    }
    line_.clear();
    lineCut_ = false;
    if (options_.flow == Flow::XoffPerLine && !holding_) {
        releaseAt_ = clock_.Now() + options_.holdTime;
        Hold(true);
    }
}

// Sends XOFF or XON and, when the port's end obeys flow control, waits until it
// has taken effect.
void SupplySimulator::Hold(bool stop)
{
    holding_ = stop;
    const char byte = stop ? kXoff : kXon;
    if (master_ < 0 || ::write(master_, &byte, 1) != 1)
        return;
    termios line{};
    if (::tcgetattr(master_, &line) != 0 || !(line.c_iflag & IXON))
        return;
    const ondula::Deadline answered(ondula::SteadyClock(), kFlowAnswerTime);
    while (stopped_ != stop && !answered.Expired())
        ReadStatus(1);
}

// A pseudo-terminal keeps the speed, the size, the parity sense, the stop bits
// and the flow control it is given, but not parity enable.
bool SupplySimulator::LineMatchesModel() const
{
    termios line{};
    if (::tcgetattr(master_, &line) != 0)
        return false;
    const bool model0 = options_.model == 0;
    return ::cfgetospeed(&line) == B9600 && (line.c_cflag & CSIZE) == CS8 &&
           bool(line.c_cflag & CSTOPB) == model0 && bool(line.c_cflag & PARODD) == model0 &&
           (line.c_iflag & (IXON | IXOFF)) == (IXON | IXOFF) && !(line.c_oflag & OPOST);
}

void SupplySimulator::ForgetHistory()
{
    setpoints_.clear();
    bytes_.clear();
    errors_.clear();
}

} // namespace piezo_supply

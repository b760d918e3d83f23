#pragma once
// A piezo high-voltage supply on the far end of a pseudo-terminal. It reads
// decimal set-points ended by a carriage return and sets its voltage to
// set-point / 1023 x its full scale; any other line is an error, and so is a
// line that arrives while the port's settings differ from the model's. It can
// hold the line with XOFF after each set-point, hold it for ever, or be
// unplugged.
//
// Service() does its work: tests call it from their clock's sleeps so that
// everything happens in virtual time; the supply program calls it in a loop.
#include <string>
#include <vector>

#include <clock/clock.h>

namespace piezo_supply {

enum class Flow {
    Plain,       // takes every byte at once
    XoffPerLine, // XOFF after each carriage return, XON `holdTime` later
    Dead,        // XOFF after the first byte, never XON
};

struct SupplyOptions {
    int model = 0;          // 0: 500 V, odd parity, 2 stop bits; 1: 100 V, no parity, 1 stop bit
    double fullScale = 500; // volts at set-point 1023
    Flow flow = Flow::Plain;
    ondula::Clock::Duration holdTime = std::chrono::milliseconds(200);
};

struct Setpoint {
    int value;
    double volts;
    ondula::Clock::Duration time; // when its carriage return arrived
    bool operator==(const Setpoint&) const = default;
};

struct ReceivedByte {
    char byte;
    ondula::Clock::Duration time;
    bool operator==(const ReceivedByte&) const = default;
};

class SupplySimulator {
public:
    // Makes the pseudo-terminal; its far end is Path().
    SupplySimulator(ondula::Clock& clock, SupplyOptions options);
    ~SupplySimulator();
    SupplySimulator(const SupplySimulator&) = delete;
    SupplySimulator& operator=(const SupplySimulator&) = delete;

    // The device a port opens to reach the supply; empty when the
    // pseudo-terminal could not be made.
    const std::string& Path() const { return path_; }
    // The supply's end, for waiting on it (poll for input).
    int Fd() const { return master_; }

    // Waits up to `timeoutMs` for the port's end to send something. While no
    // port holds the far end open (its last client has gone), it sleeps the
    // whole time: the pseudo-terminal has no event for the next client.
    void WaitForInput(int timeoutMs) const;
    // Reads what has arrived, answers it, and releases the line when its hold
    // time is over. Flow control takes effect before it returns.
    void Service();
    // Pulls the cable: the port's writes fail and its device disappears.
    void Unplug();

    double Voltage() const { return voltage_; }
    const std::vector<Setpoint>& Setpoints() const { return setpoints_; }
    const std::vector<ReceivedByte>& Bytes() const { return bytes_; }
    const std::vector<std::string>& Errors() const { return errors_; }
    // Drops the set-points, bytes and errors recorded so far: a supply that
    // serves for hours would otherwise keep every byte it ever received.
    void ForgetHistory();

private:
    void Receive(char byte);
    void EndLine();
    void Hold(bool stop);
    bool LineMatchesModel() const;
    void ReadStatus(int timeoutMs);

    ondula::Clock& clock_;
    SupplyOptions options_;
    int master_ = -1;
    std::string path_;
    // The line being received; true once bytes past what it keeps came.
    std::string line_;
    bool lineCut_ = false;
    bool stopped_ = false;
    bool holding_ = false;
    ondula::Clock::Duration releaseAt_{};
    double voltage_ = 0;
    std::vector<Setpoint> setpoints_;
    std::vector<ReceivedByte> bytes_;
    std::vector<std::string> errors_;
};

} // namespace piezo_supply

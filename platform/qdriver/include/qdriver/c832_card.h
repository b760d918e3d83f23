#pragma once
// The P.I. C-832 motion card on the ISA bus: four ports (select and window
// registers of two groups) in front of four LM628/629 chips, one per axis.
// Writing 0x80 + s to a group's select register routes its window to
// sub-address s: 2k is chip k's command port (status byte on reads, bit 0
// busy), 2k + 1 its data port (16-bit words, high byte first), 7 the group's
// limit-switch byte (bit 0 set: first axis in over-travel; bit 1 clear: second
// axis in over-travel).
//
// The chips decode their commands with the words each takes and move at the
// loaded velocity (word / 65536 counts per 256 us sample) in the clock's time.
// Positions are physical encoder counts; each chip's counter reads the position
// less its home (set by RESET and DFH). A travel window per axis drives the
// limit inputs; the axis does not stop by itself when it leaves it.
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include <clock/clock.h>
#include <qdriver/export.h>
#include <qdriver/port_models.h>
#include <qdriver/port_space.h>

namespace qdriver {

/// One complete chip command: the axis (1..4), the command byte and the words
/// that came with it (LFIL and LTRJ: the control word first; 32-bit values as
/// two words, high word first; report commands: none).
struct C832Command {
    int axis;
    uint8_t code;
    std::vector<uint16_t> words;
    bool operator==(const C832Command&) const = default;
};

class QDRIVER_API C832Card : public PortSpace {
public:
    /// Motion runs on `clock`; when `accessTicks` is given, every port access
    /// advances it by 1 us, so that a program's busy waits end in virtual time.
    explicit C832Card(ondula::Clock& clock, ondula::VirtualClock* accessTicks = nullptr);
    ~C832Card() override;

    uint32_t In(uint32_t offset, uint32_t width) override;
    void Out(uint32_t offset, uint32_t width, uint32_t value) override;

    /// An absent card: the slot reads 0xFF and ignores writes, as an empty one.
    void SetAbsent(bool absent);
    /// Chip of `axis` reports busy for `reads` status reads after each command
    /// byte and each data word.
    void SetBusyReads(int axis, int reads);
    /// Chip of `axis` reports busy for ever.
    void SetStuckBusy(int axis, bool stuck);
    /// The axis of `axis` cannot move: its motions never progress.
    void SetStalled(int axis, bool stalled);
    /// Places the axis at `counts` (at rest, home 0).
    void SetPosition(int axis, int32_t counts);
    /// The limit input of `axis` is active while its position lies outside
    /// [low, high].
    void SetTravel(int axis, int32_t low, int32_t high);

    /// Physical position of the axis now, in counts.
    double Position(int axis) const;
    bool IsMoving(int axis) const;
    bool IsMotorOff(int axis) const;
    /// The velocity word most recently loaded.
    int32_t LoadedVelocity(int axis) const;

    /// The most recent accesses (offset 0..3) and commands, oldest first.
    std::vector<PortAccess> Trace() const;
    std::vector<C832Command> Commands() const;
    /// Data words that arrived when the chip expected none.
    int DecoderErrors() const;
    void ClearTrace();

private:
    struct Chip;
    Chip& ChipOf(int axis);
    const Chip& ChipOf(int axis) const;
    uint8_t ReadWindow(int group);
    void WriteWindow(int group, uint8_t value);
    uint8_t LimitByte(int group) const;
    void Record(PortAccess access);

    ondula::Clock& clock_;
    ondula::VirtualClock* accessTicks_;
    mutable std::mutex mutex_;
    bool absent_ = false;
    uint8_t select_[2] = {0, 0};
    std::vector<Chip> chips_;
    std::deque<PortAccess> trace_;
    std::deque<C832Command> commands_;
    int decoderErrors_ = 0;
};

} // namespace qdriver

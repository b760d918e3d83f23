#pragma once
// A stepper-motor driver stage on the parallel port's data register (0x378), in
// place of the port's latch: bit 0 steps the motor on its rising edge in the
// direction of bit 1 (0 plus, 1 minus), bit 2 resets the step count on its
// rising edge. Every write is kept with its time. A stage samples the direction
// on the step edge, so a write that changes the direction together with a step
// edge is counted apart: such a step may go either way.
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include <clock/clock.h>
#include <qdriver/export.h>
#include <qdriver/port_space.h>

namespace qdriver {

struct StepperWrite {
    uint8_t value;
    ondula::Clock::Duration time;
    bool operator==(const StepperWrite&) const = default;
};

class QDRIVER_API StepperMotor : public PortSpace {
public:
    /// The three registers of the port; writes are timed on `clock`.
    explicit StepperMotor(ondula::Clock& clock);

    uint32_t In(uint32_t offset, uint32_t width) override;
    void Out(uint32_t offset, uint32_t width, uint32_t value) override;

    /// Steps since the last reset, plus counting up.
    int Position() const;
    int Resets() const;
    /// Writes whose step edge came with a change of direction.
    int DirectionChangesOnStep() const;
    /// The most recent writes to the data register, oldest first.
    std::vector<StepperWrite> Writes() const;

private:
    ondula::Clock& clock_;
    mutable std::mutex mutex_;
    uint8_t registers_[3] = {0, 0, 0};
    int position_ = 0;
    int resets_ = 0;
    int directionChangesOnStep_ = 0;
    std::deque<StepperWrite> writes_;
};

} // namespace qdriver

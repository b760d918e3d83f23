// The stepper motor on the parallel port as the phase-shift instrument: four
// positions in motor steps, 25 steps a second.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "metrology/instruments/parallel_port.h"
#include "sequence_ports.h"
#include <clock/clock.h>

namespace acquisition {

using StepperPositions = std::array<std::int16_t, 4>;

// Each position clamped to -1000..1000.
StepperPositions ClampStepperPositions(const std::array<int, 4>& positions);

class StepperSteps final : public PhaseInstrument {
public:
    // `progress` shows the motor's progress text ("+ 1/4", "Reset moteur...").
    StepperSteps(ondula::Clock& clock, const instruments::MessageSink& messages,
                 std::function<void(const std::string&)> progress);
    // A move cut short during a pulse puts its level back.
    ~StepperSteps() override;

    void SetPositions(const StepperPositions& positions) { m_positions = positions; }
    // Where the motor is believed to be, in steps (0 at first).
    int MotorPos() const { return m_nMotorPos; }

    // The reset pulse (0x04, 10 ms, 0x00); the position is not changed.
    void ResetMotor();
    // Sets off to `target`: the direction level at once, then one write per
    // 20 ms move tick, per step the pulse and the level again, then 0x00;
    // the move ends a tick after that: 40 + 40 n ms for n steps. The
    // position follows each step done.
    void MoveMotorTo(int target);

    std::string Rest() override { return {}; }
    // MoveMotorTo(Xk): "X%d(pas): %d".
    std::string Step(int k) override;
    std::string Return() override { return Step(1); }
    // "Erreur de connexion à QUENLO !" when the port cannot be reached: the
    // run's frames were taken without a move.
    std::string Fault() const override;
    bool Moving() const override { return m_nWrite <= int(m_writes.size()); }
    void MoveTick() override;
    int MoveTickMs() const override { return kLevelMs; }

private:
    static constexpr int kLevelMs = 20;

    ondula::Clock& m_clock;
    instruments::CParallelPort m_port;
    std::function<void(const std::string&)> m_progress;
    StepperPositions m_positions{};
    int m_nMotorPos = 0;
    // The writes of the move under way, the next one's index (past the end
    // by one for the last level's hold, by two once the move has ended), the
    // move's step count and direction.
    std::vector<std::uint8_t> m_writes;
    int m_nWrite = 1;
    int m_nSteps = 0;
    bool m_bPlus = true;
};

} // namespace acquisition

#include "stepper_steps.h"

#include <algorithm>
#include <cstdlib>

#include "sequence_texts.h"

namespace acquisition {

namespace {
constexpr int kMaxSteps = 1000;
constexpr std::uint8_t kPulse = 0x01;
constexpr std::uint8_t kMinus = 0x02;
constexpr std::uint8_t kReset = 0x04;
constexpr int kPulseMs = 20;
constexpr int kResetMs = 10;
} // namespace

StepperPositions ClampStepperPositions(const std::array<int, 4>& positions)
{
    StepperPositions clamped{};
    for (int k = 0; k < 4; ++k)
        clamped[k] = std::int16_t(std::clamp(positions[k], -kMaxSteps, kMaxSteps));
    return clamped;
}

StepperSteps::StepperSteps(ondula::Clock& clock, const instruments::MessageSink& messages,
                           std::function<void(const std::string&)> progress)
    : m_clock(clock), m_port(messages), m_progress(std::move(progress))
{
}

void StepperSteps::Write(std::uint8_t value, int sleepMs)
{
    m_port.WriteData(value);
    m_clock.SleepFor(std::chrono::milliseconds(sleepMs));
}

void StepperSteps::ResetMotor()
{
    m_port.WriteData(kReset);
    m_clock.SleepFor(std::chrono::milliseconds(kResetMs));
    m_port.WriteData(0x00);
    m_progress("Reset moteur...");
}

void StepperSteps::MoveMotorTo(int target)
{
    const int n = std::abs(target - m_nMotorPos);
    if (n == 0)
        return;
    const bool plus = target > m_nMotorPos;
    const std::uint8_t level = plus ? 0x00 : kMinus;
    Write(level, kPulseMs);
    for (int step = 1; step <= n; ++step) {
        Write(level | kPulse, kPulseMs);
        Write(level, kPulseMs);
        m_progress(Printf("%c %d/%d", plus ? '+' : '-', step, n));
    }
    Write(0x00, kPulseMs);
    m_nMotorPos = target;
}

std::string StepperSteps::Step(int k)
{
    const int target = m_positions[k - 1];
    MoveMotorTo(target);
    return Printf("X%d(pas): %d", k, target);
}

} // namespace acquisition

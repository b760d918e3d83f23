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

StepperSteps::~StepperSteps()
{
    // A pulse left high would swallow the rising edge of the port's next step:
    // the level that follows it goes out.
    if (!Moving())
        return;
    const std::uint8_t last = m_writes[m_nWrite - 1];
    if (last & kPulse)
        m_port.WriteData(std::uint8_t(last & ~kPulse));
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
    m_nSteps = std::abs(target - m_nMotorPos);
    if (m_nSteps == 0)
        return;
    m_bPlus = target > m_nMotorPos;
    const std::uint8_t level = m_bPlus ? 0x00 : kMinus;
    m_writes.assign(1, level);
    for (int step = 0; step < m_nSteps; ++step) {
        m_writes.push_back(level | kPulse);
        m_writes.push_back(level);
    }
    m_writes.push_back(0x00);
    m_nWrite = 0;
    MoveTick();
}

void StepperSteps::MoveTick()
{
    if (!Moving())
        return;
    const int index = m_nWrite++;
    if (index == int(m_writes.size()))
        return;
    m_port.WriteData(m_writes[index]);
    // Writes 2, 4, ... put the level back: one more step done.
    if (index > 0 && index % 2 == 0 && index < int(m_writes.size()) - 1) {
        m_nMotorPos += m_bPlus ? 1 : -1;
        m_progress(Printf("%c %d/%d", m_bPlus ? '+' : '-', index / 2, m_nSteps));
    }
}

std::string StepperSteps::Fault() const { return m_port.IsOpen() ? std::string() : kNoPortsText; }

std::string StepperSteps::Step(int k)
{
    const int target = m_positions[k - 1];
    MoveMotorTo(target);
    return Printf("X%d(pas): %d", k, target);
}

} // namespace acquisition

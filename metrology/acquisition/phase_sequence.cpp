#include "phase_sequence.h"

#include "kernels/phase4.h"
#include "sequence_texts.h"

namespace acquisition {

namespace {
constexpr int kLiveStartTicks = 5;
constexpr int kStepTicks = 20;
constexpr int kSlowFirstStepTicks = 50;
} // namespace

const char* StepName(int step)
{
    static const char* const names[] = {"Im0", "Im90", "Im180", "Im270"};
    return names[step];
}

PhaseSequence::PhaseSequence(int width, int height, SequencePorts ports)
    : m_nWidth(width), m_nHeight(height), m_ports(ports)
{
    const std::size_t size = std::size_t(width) * std::size_t(height);
    for (auto& plane : m_work)
        plane.assign(size, 0);
    m_frames = m_work;
    m_phase.assign(size, 0);
}

void PhaseSequence::Start(bool slowSource)
{
    m_bSlow = slowSource;
    m_state = Running;
    Next(kStartTimer);
}

bool PhaseSequence::Wait(int ticks) { return ++m_nTicks <= ticks; }

void PhaseSequence::Next(int timer)
{
    m_nTimer = timer;
    m_nTicks = 0;
}

void PhaseSequence::Tick()
{
    switch (m_nTimer) {
    case 9:
        if (!Wait(kLiveStartTicks))
            StartLive();
        break;
    case 10:
        if (!Wait(m_bSlow ? kSlowFirstStepTicks : kStepTicks)) {
            Next(0);
            if (Say(m_ports.instrument.Step(1)))
                Next(11);
        }
        break;
    case 11:
    case 12:
    case 13:
    case 14:
        if (!Wait(kStepTicks))
            Grab(m_nTimer - 11);
        break;
    case 15:
        if (!Wait(kStepTicks))
            Finish();
        break;
    default:
        break;
    }
}

void PhaseSequence::StartLive()
{
    Next(0);
    if (!m_ports.live.Start()) {
        m_ports.view.SetStatus(kLiveFailedText);
        m_state = Failed;
        return;
    }
    if (Say(m_ports.instrument.Rest()))
        Next(10);
}

void PhaseSequence::Grab(int step)
{
    Next(0);
    // A frame of a source that stopped is a stale copy.
    if (!m_ports.live.IsRunning() || !m_ports.frames.Grab(m_work[step].data())) {
        Fail(kLiveFailedText);
        return;
    }
    m_ports.view.ShowPlane(m_work[step].data(), StepName(step));
    const std::string said =
        step < 3 ? m_ports.instrument.Step(step + 2) : m_ports.instrument.Return();
    if (Say(said))
        Next(12 + step);
}

void PhaseSequence::Finish()
{
    Next(0);
    m_ports.live.Stop();
    m_ports.view.SetStatus(kComputingText);
    metrology::FourImagePhase(m_work[0].data(), m_work[1].data(), m_work[2].data(),
                              m_work[3].data(), m_phase.data(), m_phase.size());
    m_frames = m_work;
    m_bHasPhase = true;
    m_state = Done;
    m_ports.view.ShowPhase(m_phase.data());
    const std::string fault = m_ports.instrument.Fault();
    m_ports.view.SetStatus(fault.empty() ? kPhaseDoneText : fault);
}

void PhaseSequence::Fail(const std::string& text)
{
    Next(0);
    if (m_ports.live.IsRunning())
        m_ports.live.Stop();
    m_ports.view.SetStatus(text);
    m_state = Failed;
}

bool PhaseSequence::Say(const std::string& text)
{
    if (const std::string broken = m_ports.instrument.Broken(); !broken.empty()) {
        Fail(broken);
        return false;
    }
    if (!text.empty())
        m_ports.view.SetStatus(text);
    return true;
}

} // namespace acquisition

#include "phase_sequence.h"

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
    : FourFrameSequence(width, height, ports.live, ports.frames, ports.view),
      m_instrument(ports.instrument)
{
}

void PhaseSequence::Start(bool slowSource)
{
    m_bSlow = slowSource;
    Begin(kStartTimer);
}

void PhaseSequence::Tick()
{
    switch (Timer()) {
    case 9:
        if (!Wait(kLiveStartTicks))
            StartAndRest();
        break;
    case 10:
        if (!Wait(m_bSlow ? kSlowFirstStepTicks : kStepTicks)) {
            Next(0);
            Then(m_instrument.Step(1), 11);
        }
        break;
    case 11:
    case 12:
    case 13:
    case 14:
        if (!Wait(kStepTicks))
            Grab(Timer() - 11);
        break;
    case 15:
        if (!Wait(kStepTicks)) {
            const std::string fault = m_instrument.Fault();
            Finish(fault.empty() ? kPhaseDoneText : fault);
        }
        break;
    case kMoveTimer:
        m_instrument.MoveTick();
        if (!m_instrument.Moving())
            AfterMove();
        break;
    default:
        break;
    }
}

int PhaseSequence::TimerMs() const
{
    return Timer() == kMoveTimer ? m_instrument.MoveTickMs() : kTickMs;
}

void PhaseSequence::StartAndRest()
{
    if (StartLive())
        Then(m_instrument.Rest(), 10);
}

void PhaseSequence::Grab(int step)
{
    Next(0);
    if (!GrabInto(RunFrame(step)))
        return;
    View().ShowPlane(RunFrame(step), StepName(step));
    Then(step < 3 ? m_instrument.Step(step + 2) : m_instrument.Return(), 12 + step);
}

void PhaseSequence::Then(const std::string& text, int next)
{
    if (!text.empty())
        View().SetStatus(text);
    m_nAfterMove = next;
    if (m_instrument.Moving())
        Next(kMoveTimer);
    else
        AfterMove();
}

void PhaseSequence::AfterMove()
{
    if (const std::string broken = m_instrument.Broken(); !broken.empty())
        Fail(broken);
    else
        Next(m_nAfterMove);
}

} // namespace acquisition

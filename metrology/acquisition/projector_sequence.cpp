#include "projector_sequence.h"

#include <algorithm>

#include "kernels/fringe_patterns.h"
#include "kernels/phase4.h"
#include "kernels/phase_unwrapper.h"
#include "sequence_texts.h"
#include "view_cycle.h"

namespace acquisition {

namespace {
constexpr int kStartTicks = 20;
constexpr int kStepTicks = 20;
constexpr int kSlowTicks = 50;
constexpr int kAdjustGrabTicks = 8;
constexpr int kMaxPeriod = 100;
constexpr const char* kPatternNames[] = {"Mire0", "Mire90", "Mire180", "Mire270"};
constexpr const char* kPatternTexts[] = {"Mire 0° visualisée...", "Mire 90° visualisée...",
                                         "Mire 180° visualisée...", "Mire 270° visualisée..."};
} // namespace

int ClampFringePeriod(int period) { return std::clamp(period, 1, kMaxPeriod); }

int ProjectorUnwrapFlags(bool invert) { return UW_QUALITY_VARIANCE | (invert ? UW_INVERT : 0); }

int DemodulateAgainst(const std::uint8_t* phase, const std::uint8_t* reference, int width,
                      int height, bool invert, std::uint8_t* out)
{
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<std::uint8_t> difference(count);
    SubtractMod256(phase, reference, difference.data(), count);
    std::vector<std::int32_t> wrapped(difference.begin(), difference.end()), unwrapped(count, 0);
    CPhaseUnwrapper unwrapper;
    const int jumps = unwrapper.Unwrap(width, height, wrapped.data(), wrapped.data(),
                                       unwrapped.data(), ProjectorUnwrapFlags(invert));
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::uint8_t(unwrapped[i] & 0xFF);
    return jumps;
}

ProjectorSequence::ProjectorSequence(int width, int height, LiveAcquisition& live,
                                     FrameSource& frames, SequenceView& view,
                                     ProjectorOutput& projector)
    : m_nWidth(width),
      m_nHeight(height),
      m_live(live),
      m_source(frames),
      m_view(view),
      m_projector(projector)
{
    const std::size_t size = std::size_t(width) * std::size_t(height);
    m_pattern.assign(size, 0);
    m_adjust.assign(size, 0);
    for (auto& plane : m_work)
        plane.assign(size, 0);
    m_frames = m_work;
    m_phase.assign(size, 0);
}

void ProjectorSequence::StartAcquisition(int period, bool slowSource)
{
    m_nPeriod = period;
    m_bSlow = slowSource;
    m_state = Running;
    Next(9);
}

void ProjectorSequence::StartAdjustment(int period, bool slowSource)
{
    m_nPeriod = period;
    m_bSlow = slowSource;
    m_state = Running;
    Next(1);
}

void ProjectorSequence::StopAdjustment()
{
    Next(0);
    m_state = Idle;
}

bool ProjectorSequence::Wait(int ticks) { return ++m_nTicks <= ticks; }

void ProjectorSequence::Next(int timer)
{
    m_nTimer = timer;
    m_nTicks = 0;
}

void ProjectorSequence::ShowPattern(int step)
{
    metrology::MakeFringePattern(m_pattern.data(), m_nWidth, m_nHeight, m_nPeriod,
                                 0.5f * float(step));
    m_projector.Project(m_pattern.data(), m_nPeriod);
    m_view.ShowPlane(m_pattern.data(), kPatternNames[step]);
}

bool ProjectorSequence::StartLive(const char* status)
{
    Next(0);
    if (!m_live.Start()) {
        m_view.SetStatus(kLiveFailedText);
        m_state = Failed;
        return false;
    }
    ShowPattern(0);
    m_view.SetStatus(status);
    return true;
}

bool ProjectorSequence::GrabInto(std::vector<std::uint8_t>& plane)
{
    if (m_live.IsRunning() && m_source.Grab(plane.data()))
        return true;
    // A frame of a source that stopped is a stale copy.
    Next(0);
    if (m_live.IsRunning())
        m_live.Stop();
    m_view.SetStatus(kLiveFailedText);
    m_state = Failed;
    return false;
}

void ProjectorSequence::Tick()
{
    const int stepTicks = m_bSlow ? kSlowTicks : kStepTicks;
    switch (m_nTimer) {
    case 1:
        if (!Wait(kStartTicks) && StartLive("Acq. permanente et mire 0° visualisée..."))
            Next(2);
        break;
    case 2:
        if (Wait(m_bSlow ? kSlowTicks : kAdjustGrabTicks) || !GrabInto(m_adjust))
            break;
        m_view.ShowPlane(m_adjust.data(), "ImCamera");
        Next(3);
        break;
    case 3:
        if (!Wait(kStepTicks)) {
            ShowPattern(0);
            Next(2);
        }
        break;
    case 9:
        if (!Wait(kStartTicks) && StartLive(kPatternTexts[0]))
            Next(11);
        break;
    case 11:
    case 12:
    case 13:
    case 14: {
        if (Wait(stepTicks))
            break;
        const int step = m_nTimer - 11;
        if (!GrabInto(m_work[step]))
            break;
        if (step < 3) {
            ShowPattern(step + 1);
            m_view.SetStatus(kPatternTexts[step + 1]);
        } else {
            m_view.SetStatus("");
        }
        Next(m_nTimer + 1);
        break;
    }
    case 15:
        if (!Wait(stepTicks))
            Finish();
        break;
    default:
        break;
    }
}

void ProjectorSequence::Finish()
{
    Next(0);
    m_live.Stop();
    m_view.SetStatus(kComputingText);
    metrology::FourImagePhase(m_work[0].data(), m_work[1].data(), m_work[2].data(),
                              m_work[3].data(), m_phase.data(), m_phase.size());
    m_frames = m_work;
    m_bHasPhase = true;
    m_state = Done;
    m_view.ShowPhase(m_phase.data());
    m_view.SetStatus(kPhaseDoneText);
}

} // namespace acquisition

#include "projector_sequence.h"

#include <algorithm>

#include "metrology/kernels/fringe_patterns.h"
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

int DemodulateAgainst(CPhaseUnwrapper& unwrapper, const std::uint8_t* phase,
                      const std::uint8_t* reference, int width, int height, bool invert,
                      std::uint8_t* out)
{
    const std::size_t count = std::size_t(width) * std::size_t(height);
    std::vector<std::uint8_t> difference(count);
    SubtractMod256(phase, reference, difference.data(), count);
    std::vector<std::int32_t> wrapped(difference.begin(), difference.end()), unwrapped(count, 0);
    const int jumps = unwrapper.Unwrap(width, height, wrapped.data(), wrapped.data(),
                                       unwrapped.data(), ProjectorUnwrapFlags(invert));
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::uint8_t(unwrapped[i] & 0xFF);
    return jumps;
}

ProjectorSequence::ProjectorSequence(int width, int height, LiveAcquisition& live,
                                     FrameSource& frames, SequenceView& view,
                                     ProjectorOutput& projector)
    : FourFrameSequence(width, height, live, frames, view), m_projector(projector)
{
    const std::size_t size = std::size_t(width) * std::size_t(height);
    m_pattern.assign(size, 0);
    m_adjust.assign(size, 0);
}

void ProjectorSequence::StartAcquisition(int period, bool slowSource)
{
    m_nPeriod = period;
    m_bSlow = slowSource;
    Begin(9);
}

void ProjectorSequence::StartAdjustment(int period, bool slowSource)
{
    m_nPeriod = period;
    m_bSlow = slowSource;
    Begin(1);
}

void ProjectorSequence::StopAdjustment() { Halt(); }

int ProjectorSequence::Demodulate(const std::uint8_t* reference, bool invert, std::uint8_t* out)
{
    return DemodulateAgainst(m_unwrapper, Phase().data(), reference, Width(), Height(), invert,
                             out);
}

void ProjectorSequence::ShowPattern(int step)
{
    metrology::MakeFringePattern(m_pattern.data(), Width(), Height(), m_nPeriod,
                                 0.5f * float(step));
    m_projector.Project(m_pattern.data(), m_nPeriod);
    View().ShowPlane(m_pattern.data(), kPatternNames[step]);
}

bool ProjectorSequence::StartWithPattern(const char* status)
{
    if (!StartLive())
        return false;
    ShowPattern(0);
    View().SetStatus(status);
    return true;
}

void ProjectorSequence::Tick()
{
    const int stepTicks = m_bSlow ? kSlowTicks : kStepTicks;
    switch (Timer()) {
    case 1:
        if (!Wait(kStartTicks) && StartWithPattern("Acq. permanente et mire 0° visualisée..."))
            Next(2);
        break;
    case 2:
        if (Wait(m_bSlow ? kSlowTicks : kAdjustGrabTicks) || !GrabInto(m_adjust.data()))
            break;
        View().ShowPlane(m_adjust.data(), "ImCamera");
        Next(3);
        break;
    case 3:
        if (!Wait(kStepTicks)) {
            ShowPattern(0);
            Next(2);
        }
        break;
    case 9:
        if (!Wait(kStartTicks) && StartWithPattern(kPatternTexts[0]))
            Next(11);
        break;
    case 11:
    case 12:
    case 13:
    case 14: {
        if (Wait(stepTicks))
            break;
        const int step = Timer() - 11;
        if (!GrabInto(RunFrame(step)))
            break;
        if (step < 3) {
            ShowPattern(step + 1);
            View().SetStatus(kPatternTexts[step + 1]);
        } else {
            View().SetStatus("");
        }
        Next(Timer() + 1);
        break;
    }
    case 15:
        if (!Wait(stepTicks))
            Finish(kPhaseDoneText);
        break;
    default:
        break;
    }
}

} // namespace acquisition

#include "four_frame_sequence.h"

#include <utility>

#include "metrology/kernels/phase4.h"
#include "sequence_texts.h"

namespace acquisition {

FourFrameSequence::FourFrameSequence(int width, int height, LiveAcquisition& live,
                                     FrameSource& frames, SequenceView& view)
    : m_nWidth(width), m_nHeight(height), m_live(live), m_source(frames), m_view(view)
{
    const std::size_t size = std::size_t(width) * std::size_t(height);
    for (auto& plane : m_work)
        plane.assign(size, 0);
    m_frames = m_work;
    m_phase.assign(size, 0);
}

void FourFrameSequence::Begin(int timer)
{
    m_state = Running;
    m_bLiveStarted = false;
    Next(timer);
}

void FourFrameSequence::Halt()
{
    Next(0);
    m_state = Idle;
}

bool FourFrameSequence::Wait(int ticks) { return ++m_nTicks <= ticks; }

void FourFrameSequence::Next(int timer)
{
    m_nTimer = timer;
    m_nTicks = 0;
}

bool FourFrameSequence::StartLive()
{
    Next(0);
    m_bLiveStarted = m_live.Start();
    // Started but stopped already (a start made ahead whose camera was lost
    // since): the run fails as when a grab finds the camera lost.
    if (m_bLiveStarted && m_live.IsRunning())
        return true;
    Fail(kLiveFailedText);
    return false;
}

bool FourFrameSequence::GrabInto(std::uint8_t* plane)
{
    if (!m_live.IsRunning())
        Fail(kLiveFailedText);
    else if (!m_source.Grab(plane))
        Fail(GrabFailureText(m_source));
    else
        return true;
    return false;
}

void FourFrameSequence::Finish(const std::string& doneText)
{
    Next(0);
    m_live.Stop();
    m_view.SetStatus(kComputingText);
    metrology::FourImagePhase(m_work[0].data(), m_work[1].data(), m_work[2].data(),
                              m_work[3].data(), m_phase.data(), m_phase.size());
    // The next run overwrites every frame before its own finish, so the
    // planes trade places instead of being copied.
    std::swap(m_frames, m_work);
    m_bHasPhase = true;
    m_state = Done;
    m_view.ShowPhase(m_phase.data());
    m_view.SetStatus(doneText);
}

void FourFrameSequence::Fail(const std::string& text)
{
    Next(0);
    if (m_live.IsRunning())
        m_live.Stop();
    m_view.SetStatus(text);
    m_state = Failed;
}

} // namespace acquisition

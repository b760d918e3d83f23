// What the four-frame phase-shift sequences share, one Tick() per 50 ms tick
// of the timer that runs: the timer and its count of ticks, the run's state,
// the live acquisition the frames come from, and the frames and phase.
//
// The four frames and the phase of the last complete run are kept apart from
// the run in progress: a run cut off leaves them as they were.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sequence_ports.h"

namespace acquisition {

class FourFrameSequence {
public:
    enum State { Idle, Running, Done, Failed };
    static constexpr int kTickMs = 50;

    virtual ~FourFrameSequence() = default;
    FourFrameSequence(const FourFrameSequence&) = delete;
    FourFrameSequence& operator=(const FourFrameSequence&) = delete;

    // One tick of Timer(); nothing while no timer runs.
    virtual void Tick() = 0;
    // The timer that runs, 0 when none, and its period.
    int Timer() const { return m_nTimer; }
    virtual int TimerMs() const { return kTickMs; }
    State GetState() const { return m_state; }
    // Whether the run in progress or last run got live acquisition going: a
    // run that failed without it never began.
    bool LiveStarted() const { return m_bLiveStarted; }

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // The last complete run: frame 0..3 and the phase (grey planes).
    bool HasPhase() const { return m_bHasPhase; }
    const std::vector<std::uint8_t>& Frame(int step) const { return m_frames[step]; }
    const std::vector<std::uint8_t>& Phase() const { return m_phase; }

protected:
    FourFrameSequence(int width, int height, LiveAcquisition& live, FrameSource& frames,
                      SequenceView& view);

    // A run begins on `timer`.
    void Begin(int timer);
    // No timer runs and no run is under way.
    void Halt();
    // Counts a tick; true while the count has not passed `ticks`.
    bool Wait(int ticks);
    // `timer` runs next, its count from 0; 0 for none.
    void Next(int timer);
    // Starts live acquisition, no timer running; false, the run failed, when
    // it does not start or does not run any more.
    bool StartLive();
    // The source's current frame into `plane`; false, the run failed, when
    // live acquisition has stopped (its frame would be a stale copy) or gives
    // no frame.
    bool GrabInto(std::uint8_t* plane);
    // Frame `step` (0..3) of the run in progress.
    std::uint8_t* RunFrame(int step) { return m_work[step].data(); }
    // Stops live acquisition and computes the phase of the run's four frames,
    // which become the last complete run; the status ends with `doneText`.
    void Finish(const std::string& doneText);
    // Ends the run with `text` in the status, live acquisition stopped.
    void Fail(const std::string& text);

    SequenceView& View() const { return m_view; }

private:
    int m_nWidth;
    int m_nHeight;
    LiveAcquisition& m_live;
    FrameSource& m_source;
    SequenceView& m_view;
    int m_nTimer = 0;
    int m_nTicks = 0;
    State m_state = Idle;
    bool m_bLiveStarted = false;
    std::array<std::vector<std::uint8_t>, 4> m_work;
    std::array<std::vector<std::uint8_t>, 4> m_frames;
    std::vector<std::uint8_t> m_phase;
    bool m_bHasPhase = false;
};

} // namespace acquisition

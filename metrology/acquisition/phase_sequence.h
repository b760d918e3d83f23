// The four-frame phase-shift run, one Tick() per 50 ms tick of the timer that
// runs: live acquisition starts, the instrument rests and takes step 1, then
// each 20 ticks a frame is grabbed and the next step taken, and the wrapped
// phase is computed from the four frames.
//
// | timer | acts on tick | work                                      | next |
// |-------|--------------|-------------------------------------------|------|
// | 9     | 6            | start live acquisition, instrument rest   | 10   |
// | 10    | 21 (51)      | step 1 (51 ticks for slow sources)        | 11   |
// | 11-14 | 21           | grab Im0..Im270, step 2..4, then return   | +1   |
// | 15    | 21           | stop live acquisition, phase              | none |
//
// The four frames and the phase of the last complete run are kept apart from
// the run in progress: a run cut off leaves them as they were.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "sequence_ports.h"

namespace acquisition {

class PhaseSequence {
public:
    enum State { Idle, Running, Done, Failed };
    static constexpr int kTickMs = 50;
    static constexpr int kStartTimer = 9;
    static constexpr int kFinishTimer = 15;

    PhaseSequence(int width, int height, SequencePorts ports);

    // Begins a run with timer 9. `slowSource` (webcam, DirectShow) waits 51
    // ticks before step 1 instead of 21.
    void Start(bool slowSource);
    // One tick of Timer(); nothing while no timer runs.
    void Tick();
    // The timer that runs (9..15), 0 when none.
    int Timer() const { return m_nTimer; }
    State GetState() const { return m_state; }

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // The last complete run: frame 0..3 and the phase (grey planes).
    bool HasPhase() const { return m_bHasPhase; }
    const std::vector<std::uint8_t>& Frame(int step) const { return m_frames[step]; }
    const std::vector<std::uint8_t>& Phase() const { return m_phase; }

private:
    bool Wait(int ticks);
    void Next(int timer);
    void StartLive();
    void Grab(int step);
    void Finish();
    void Fail(const std::string& text);
    // The status after an instrument action; false when the instrument broke.
    bool Say(const std::string& text);

    int m_nWidth;
    int m_nHeight;
    SequencePorts m_ports;
    bool m_bSlow = false;
    int m_nTimer = 0;
    int m_nTicks = 0;
    State m_state = Idle;
    std::array<std::vector<std::uint8_t>, 4> m_work;
    std::array<std::vector<std::uint8_t>, 4> m_frames;
    std::vector<std::uint8_t> m_phase;
    bool m_bHasPhase = false;
};

} // namespace acquisition

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
// An instrument move that goes on after its action runs on timer 16, at the
// instrument's pace; the next timer starts once the move has ended.
#pragma once

#include <string>

#include "four_frame_sequence.h"

namespace acquisition {

class PhaseSequence final : public FourFrameSequence {
public:
    static constexpr int kStartTimer = 9;
    static constexpr int kFinishTimer = 15;
    static constexpr int kMoveTimer = 16;

    PhaseSequence(int width, int height, SequencePorts ports);

    // Begins a run with timer 9. `slowSource` (webcam, DirectShow) waits 51
    // ticks before step 1 instead of 21.
    void Start(bool slowSource);
    void Tick() override;
    int TimerMs() const override;

private:
    // Live acquisition started, the instrument at rest.
    void StartAndRest();
    void Grab(int step);
    // After an instrument action: its status text, then timer `next` once
    // the move it began has ended.
    void Then(const std::string& text, int next);
    // The move has ended: the timer after it, or the run fails when the
    // instrument broke.
    void AfterMove();

    PhaseInstrument& m_instrument;
    bool m_bSlow = false;
    int m_nAfterMove = 0;
};

} // namespace acquisition

// The projector's phase shift: instead of moving the object, the fringes
// themselves are shifted. The projector shows the sinusoidal pattern at 0,
// 90, 180 and 270 degrees while the camera acquires, the four frames give the
// wrapped phase, and a reference phase taken the same way is subtracted and
// the difference unwrapped. An adjustment mode alternates the pattern and the
// camera's frame on the projector.
//
// Acquisition, timers of 50 ms: 9 acts on tick 21 (live acquisition, pattern
// 0); 11 to 14 on tick 21, or 51 for slow sources (grab, next pattern); 15
// likewise (stop, phase). Adjustment: 1 on tick 21 (live acquisition, pattern
// 0), 2 on tick 9, or 51 for slow sources (the camera's frame shown), 3 on
// tick 21 (pattern 0 again), then 2 again until stopped.
#pragma once

#include <cstdint>
#include <vector>

#include "four_frame_sequence.h"
#include "metrology/kernels/phase_unwrapper.h"

namespace acquisition {

// Where the patterns go: the projector document, which the user places on
// the projector's screen; the optical bench in a simulation.
class ProjectorOutput {
public:
    virtual ~ProjectorOutput() = default;
    // A width x height pattern of vertical fringes of `period` pixels.
    virtual void Project(const std::uint8_t* pattern, int period) = 0;
};

// The fringe period entered: 1..100 (0 or less gives 1).
int ClampFringePeriod(int period);

// The unwrapper's flags of the projector's demodulation: variance quality,
// no mask, inverted output when `invert` (16 or 18).
int ProjectorUnwrapFlags(bool invert);

// (phase - reference) modulo 256 unwrapped by `unwrapper` into `out` (low
// bytes of the unwrapped values); returns the number of phase jumps M.
int DemodulateAgainst(CPhaseUnwrapper& unwrapper, const std::uint8_t* phase,
                      const std::uint8_t* reference, int width, int height, bool invert,
                      std::uint8_t* out);

class ProjectorSequence final : public FourFrameSequence {
public:
    ProjectorSequence(int width, int height, LiveAcquisition& live, FrameSource& frames,
                      SequenceView& view, ProjectorOutput& projector);

    // The four-pattern acquisition, on timer 9.
    void StartAcquisition(int period, bool slowSource);
    // The adjustment loop, on timer 1, until StopAdjustment.
    void StartAdjustment(int period, bool slowSource);
    void StopAdjustment();
    void Tick() override;
    // The last complete run's phase demodulated against `reference` (a plane
    // of the run's size) into `out`; returns M.
    int Demodulate(const std::uint8_t* reference, bool invert, std::uint8_t* out);

private:
    void ShowPattern(int step);
    bool StartWithPattern(const char* status);

    ProjectorOutput& m_projector;
    int m_nPeriod = 30;
    bool m_bSlow = false;
    std::vector<std::uint8_t> m_pattern;
    std::vector<std::uint8_t> m_adjust;
    // Kept from one demodulation to the next with its work memory.
    CPhaseUnwrapper m_unwrapper;
};

} // namespace acquisition

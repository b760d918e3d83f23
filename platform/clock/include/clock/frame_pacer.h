#pragma once

#include <clock/clock.h>
#include <clock/export.h>

namespace ondula {

// The frame rate of a simulated camera: each frame comes one period after the
// one before, and the wait for it is spent asleep on the clock (no time at all
// on a VirtualClock, which is the instant mode of tests).
class ONDULA_CLOCK_API FramePacer {
public:
    FramePacer(Clock& clock, Clock::Duration period) : clock_(&clock), period_(period) { }

    // Returns when the next frame is due. The first frame, and the frame of a
    // caller that comes later than its time, are due at once; the next one is
    // then a period later.
    void WaitForFrame();

private:
    Clock* clock_;
    Clock::Duration period_;
    Clock::Duration next_ = Clock::Duration::min();
};

} // namespace ondula

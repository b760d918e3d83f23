#include <clock/frame_pacer.h>

namespace ondula {

void FramePacer::WaitForFrame()
{
    const Clock::Duration now = clock_->Now();
    if (next_ > now) {
        clock_->SleepFor(next_ - now);
        next_ += period_;
    } else {
        next_ = now + period_;
    }
}

} // namespace ondula

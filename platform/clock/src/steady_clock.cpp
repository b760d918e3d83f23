#include <clock/clock.h>

#include <thread>

namespace ondula {
namespace {

class Steady final : public Clock {
public:
    Duration Now() const override
    {
        return std::chrono::duration_cast<Duration>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void SleepFor(Duration d) override
    {
        if (d > Duration::zero())
            std::this_thread::sleep_for(d);
    }
};

} // namespace

Clock& SteadyClock()
{
    static Steady clock;
    return clock;
}

} // namespace ondula

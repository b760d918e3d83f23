// Time-averaged views of a vibrating surface: frames taken at different piezo
// voltages, combined continuously into a modulation image (four quarter-fringe
// steps) or an average of absolute differences (two half-fringe steps).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sequence_ports.h"

namespace acquisition {

// Volts of a supply step on a supply of `umax` volts: step x umax / 1023 in integers.
int StepVolts(int step, int umax);
// The step of `volts`: volts x 1023 / umax in integers, except that the
// voltage `stored` shows keeps `stored` (a voltage left as shown does not
// walk the step down).
std::int16_t VoltsStep(int volts, int umax, std::int16_t stored);

// U0..U270 clamped: U0 to 0..umax - 5; U90 to 1..umax - 4, then U0 + 1 when
// below U0; U180 and U270 likewise (2..umax - 3, 3..umax - 2).
std::array<int, 4> ClampFourVolts(std::array<int, 4> volts, int umax);
// U0 to 0..umax - 10, U180 to 10..umax; U180 := U0 + 1 when not above U0, and
// U0 := U180 - 1 when still not below it.
std::array<int, 2> ClampTwoVolts(int u0, int u180, int umax);

// sqrt((f0 - f2)^2 + (f1 - f3)^2) x gain per pixel, 255 above 255, truncated.
void Modulation(const std::array<const std::uint8_t*, 4>& frames, int gain, std::uint8_t* out,
                std::size_t count);

// A time-averaged view that runs until stopped, one Tick() per 50 ms tick
// of its timer, and shows each image it makes with ShowPhase.
class AverageSequence {
public:
    virtual ~AverageSequence() = default;
    // Begins with timer 1.
    virtual void Start() = 0;
    virtual void Tick() = 0;
    // The timer that runs, 0 when none.
    int Timer() const { return m_nTimer; }
    void Stop() { m_nTimer = 0; }
    // Images shown so far.
    int Results() const { return m_nResults; }

protected:
    AverageSequence(int width, int height, int gain, SequencePorts ports);

    // Timer `timer` from its first tick.
    void Next(int timer);
    // Timer 1: starts live acquisition and rests the supply, then timer 2;
    // stops with the live-acquisition message when it does not start or does
    // not run any more.
    void BeginLive();
    // The next frame into `plane`; stops with the live-acquisition message
    // when live acquisition has ended or the grab fails.
    bool Grab(std::uint8_t* plane);

    std::size_t m_nPixels;
    int m_nGain;
    SequencePorts m_ports;
    int m_nTimer = 0;
    int m_nTicks = 0;
    int m_nResults = 0;
};

// The four-step view. Timer 1 starts live acquisition and rests the supply;
// timer 2 (3 ticks) sends step U0; timer 3 (3 ticks) grabs f0 and sends U90;
// timers 4 and 5 grab f1, f2 and send U180, U270; timer 6 grabs f3, rests the
// supply, shows the modulation and goes back to timer 2. Timer 6 keeps the
// tick counter, so timer 2 acts on its first tick after the first cycle.
class FourStepAverage final : public AverageSequence {
public:
    FourStepAverage(int width, int height, int gain, SequencePorts ports);

    void Start() override;
    void Tick() override;

private:
    std::array<std::vector<std::uint8_t>, 5> m_planes;
};

// The two-step view: timers 2, 3, 4 each act on their third tick; timer 3
// grabs A and sends U180, timer 4 grabs B and rests the supply. Cycles 1..N
// add |A - B| to the accumulators and show "%d/%d"; cycle N + 1 shows
// accumulator / N x gain (255 above 255) and starts over, its pair unused.
class TwoStepAverage final : public AverageSequence {
public:
    TwoStepAverage(int width, int height, int gain, int count, SequencePorts ports);

    void Start() override;
    void Tick() override;

private:
    void EndCycle();

    int m_nCount;
    int m_nCycle = 0;
    std::array<std::vector<std::uint8_t>, 3> m_planes;
    std::vector<std::int16_t> m_sum;
};

} // namespace acquisition

#include <gtest/gtest.h>

#include "fake_ports.h"
#include "metrology/acquisition/sequence_texts.h"
#include "metrology/acquisition/time_average.h"

namespace acquisition {
namespace {

using testing::Recorder;

TEST(TimeAverageTest, VoltsAndStepsConvertWithoutWalkingDown)
{
    const int16_t steps[] = {409, 476, 544, 611};
    const int volts[] = {199, 232, 265, 298};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(StepVolts(steps[k], 500), volts[k]);
        EXPECT_EQ(VoltsStep(volts[k], 500, steps[k]), steps[k]);
    }
    EXPECT_EQ(VoltsStep(100, 500, 409), 204);
    EXPECT_EQ(ClampFourVolts({-5, 0, 600, 10}, 500), (std::array<int, 4>{0, 1, 497, 498}));
    EXPECT_EQ(ClampTwoVolts(100, 100, 500), (std::array<int, 2>{100, 101}));
    EXPECT_EQ(ClampTwoVolts(600, 0, 500), (std::array<int, 2>{490, 491}));
}

TEST(TimeAverageTest, ModulationOfFourFrames)
{
    const uint8_t f0[] = {130, 7, 0}, f1[] = {140, 7, 255}, f2[] = {100, 7, 255},
                  f3[] = {100, 7, 0};
    uint8_t out[3];
    Modulation({f0, f1, f2, f3}, 5, out, 3);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{250, 0, 255}));
}

// Ticks `count` times, recording at which tick each event came.
template <class Sequence>
std::vector<std::pair<int, std::string>> Ticks(Sequence& sequence, Recorder& recorder, int count)
{
    std::vector<std::pair<int, std::string>> timeline;
    for (int tick = 1; tick <= count; ++tick) {
        const size_t before = recorder.events.size();
        sequence.Tick();
        for (size_t i = before; i < recorder.events.size(); ++i)
            timeline.emplace_back(tick, recorder.events[i]);
    }
    return timeline;
}

TEST(TimeAverageTest, FourStepsCycleFasterAfterTheFirst)
{
    Recorder recorder(1);
    recorder.frames = {{130}, {140}, {100}, {100}};
    FourStepAverage average(1, 1, 5, {recorder, recorder, recorder, recorder});
    average.Start();
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "start"},   {1, "rest"},    {4, "step 1"},  {7, "step 2"},  {8, "step 3"},
        {9, "step 4"},  {10, "return"}, {10, "phase"},  {11, "step 1"}, {14, "step 2"},
        {15, "step 3"}, {16, "step 4"}, {17, "return"}, {17, "phase"}};
    EXPECT_EQ(Ticks(average, recorder, 17), expected);
    EXPECT_EQ(average.Results(), 2);
}

TEST(TimeAverageTest, ACameraLostBeforeTheFirstTickStopsAtOnce)
{
    Recorder recorder(1);
    recorder.lostAhead = true;
    FourStepAverage average(1, 1, 5, {recorder, recorder, recorder, recorder});
    average.Start();
    average.Tick();
    EXPECT_EQ(average.Timer(), 0);
    EXPECT_EQ(recorder.events, std::vector<std::string>{"start"});
    EXPECT_EQ(recorder.status, std::vector<std::string>{kLiveFailedText});
}

TEST(TimeAverageTest, TwoStepsAverageNPairsThenShow)
{
    Recorder recorder(1);
    recorder.frames = {{200}, {180}};
    TwoStepAverage average(1, 1, 5, 3, {recorder, recorder, recorder, recorder});
    average.Start();
    Ticks(average, recorder, 1 + 4 * 9);
    EXPECT_EQ(recorder.status, (std::vector<std::string>{"1/3", "2/3", "3/3", ""}));
    EXPECT_EQ(average.Results(), 1);
    EXPECT_EQ(recorder.events.back(), "phase");
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "step 3"), 4);
}

} // namespace
} // namespace acquisition

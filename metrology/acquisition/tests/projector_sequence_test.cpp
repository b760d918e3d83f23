#include <gtest/gtest.h>

#include "fake_ports.h"
#include "metrology/acquisition/projector_sequence.h"
#include "metrology/acquisition/sequence_texts.h"
#include "metrology/kernels/fringe_patterns.h"

namespace acquisition {
namespace {

using testing::Recorder;

class Projector final : public ProjectorOutput {
public:
    void Project(const std::uint8_t* pattern, int period) override
    {
        firstColumns.push_back(pattern[0]);
        periods.push_back(period);
    }
    std::vector<int> firstColumns;
    std::vector<int> periods;
};

TEST(ProjectorTest, PeriodAndFlags)
{
    EXPECT_EQ(ClampFringePeriod(0), 1);
    EXPECT_EQ(ClampFringePeriod(250), 100);
    EXPECT_EQ(ClampFringePeriod(30), 30);
    EXPECT_EQ(ProjectorUnwrapFlags(false), 16);
    EXPECT_EQ(ProjectorUnwrapFlags(true), 18);
}

TEST(ProjectorTest, AcquisitionShowsFourPatternsAndComputesThePhase)
{
    for (bool slow : {false, true}) {
        Recorder recorder(16);
        Projector projector;
        ProjectorSequence sequence(4, 4, recorder, recorder, recorder, projector);
        sequence.StartAcquisition(4, slow);
        std::vector<std::pair<int, std::string>> timeline;
        for (int tick = 1; sequence.Timer() && tick < 1000; ++tick) {
            const size_t before = recorder.events.size();
            sequence.Tick();
            for (size_t i = before; i < recorder.events.size(); ++i)
                timeline.emplace_back(tick, recorder.events[i]);
        }
        const int step = slow ? 51 : 21;
        const std::vector<std::pair<int, std::string>> expected = {{21, "start"},
                                                                   {21, "show Mire0"},
                                                                   {21 + step, "show Mire90"},
                                                                   {21 + 2 * step, "show Mire180"},
                                                                   {21 + 3 * step, "show Mire270"},
                                                                   {21 + 5 * step, "stop"},
                                                                   {21 + 5 * step, "phase"}};
        EXPECT_EQ(timeline, expected) << slow;
        // Column 0 of the pattern at 0, 90, 180, 270 degrees, period 4.
        std::vector<int> columns;
        for (int k = 0; k < 4; ++k)
            columns.push_back(metrology::ProjectorFringeGrey(0, 4, 0.5f * float(k)));
        EXPECT_EQ(projector.firstColumns, columns);
        EXPECT_EQ(columns[1], 254);
        EXPECT_EQ(projector.periods, (std::vector<int>{4, 4, 4, 4}));
        EXPECT_EQ(recorder.status.back(), kPhaseDoneText);
        EXPECT_TRUE(sequence.HasPhase());
    }
}

TEST(ProjectorTest, AdjustmentAlternatesPatternAndCameraWithoutTouchingTheFrames)
{
    Recorder recorder(16);
    recorder.frames = {{9}};
    Projector projector;
    ProjectorSequence sequence(4, 4, recorder, recorder, recorder, projector);
    sequence.StartAdjustment(30, false);
    std::vector<std::pair<int, std::string>> timeline;
    for (int tick = 1; tick <= 60; ++tick) {
        const size_t before = recorder.events.size();
        sequence.Tick();
        for (size_t i = before; i < recorder.events.size(); ++i)
            timeline.emplace_back(tick, recorder.events[i]);
    }
    const std::vector<std::pair<int, std::string>> expected = {{21, "start"},
                                                               {21, "show Mire0"},
                                                               {30, "show ImCamera"},
                                                               {51, "show Mire0"},
                                                               {60, "show ImCamera"}};
    EXPECT_EQ(timeline, expected);
    EXPECT_EQ(recorder.status.front(), "Acq. permanente et mire 0° visualisée...");
    sequence.StopAdjustment();
    EXPECT_EQ(sequence.Timer(), 0);
    EXPECT_FALSE(sequence.HasPhase());
    EXPECT_EQ(sequence.Frame(0), std::vector<uint8_t>(16, 0));
}

TEST(ProjectorTest, DemodulationUnwrapsTheDifference)
{
    // A ramp of two fringes over 16 columns against a flat reference.
    constexpr int w = 16, h = 8;
    std::vector<uint8_t> phase(w * h), reference(w * h, 100), out(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            phase[y * w + x] = uint8_t(100 + 32 * x);
    CPhaseUnwrapper unwrapper;
    EXPECT_EQ(DemodulateAgainst(unwrapper, phase.data(), reference.data(), w, h, false, out.data()),
              1);
    EXPECT_LT(out[3 * w + 2], out[3 * w + 13]);
    EXPECT_EQ(DemodulateAgainst(unwrapper, phase.data(), reference.data(), w, h, true, out.data()),
              1);
    EXPECT_GT(out[3 * w + 2], out[3 * w + 13]);
}

} // namespace
} // namespace acquisition

#include <gtest/gtest.h>

#include "fake_ports.h"
#include "metrology/acquisition/phase_sequence.h"
#include "metrology/acquisition/sequence_texts.h"
#include "metrology/acquisition/view_cycle.h"

namespace acquisition {
namespace {

using testing::Recorder;
using Events = std::vector<std::string>;

class SequenceTest : public ::testing::Test {
protected:
    // Ticks until the sequence stops, recording at which tick each event came.
    std::vector<std::pair<int, std::string>> Run(bool slow)
    {
        sequence.Start(slow);
        std::vector<std::pair<int, std::string>> timeline;
        for (int tick = 1; sequence.Timer() != 0 && tick < 1000; ++tick) {
            const size_t before = recorder.events.size();
            sequence.Tick();
            for (size_t i = before; i < recorder.events.size(); ++i)
                timeline.emplace_back(tick, recorder.events[i]);
        }
        return timeline;
    }
    Recorder recorder{4};
    PhaseSequence sequence{2, 2, {recorder, recorder, recorder, recorder}};
};

TEST_F(SequenceTest, StepsComeAtTheirTicksInOrder)
{
    for (bool slow : {false, true}) {
        recorder.events.clear();
        const int first = slow ? 51 : 21;
        const std::vector<std::pair<int, std::string>> expected = {
            {6, "start"},           {6, "rest"},
            {6 + first, "step 1"},  {27 + first, "show Im0"},
            {27 + first, "step 2"}, {48 + first, "show Im90"},
            {48 + first, "step 3"}, {69 + first, "show Im180"},
            {69 + first, "step 4"}, {90 + first, "show Im270"},
            {90 + first, "return"}, {111 + first, "stop"},
            {111 + first, "phase"}};
        EXPECT_EQ(Run(slow), expected) << slow;
        EXPECT_EQ(sequence.GetState(), PhaseSequence::Done);
    }
    EXPECT_EQ(recorder.status.back(), kPhaseDoneText);
    EXPECT_EQ(recorder.status[recorder.status.size() - 2], kComputingText);
    EXPECT_EQ(recorder.status.front(), "said rest");
}

TEST_F(SequenceTest, EachWaitStartsOnceTheMoveBeforeItHasEnded)
{
    // Every action moves the instrument for 3 move ticks.
    recorder.moveTicks = 3;
    const std::vector<std::pair<int, std::string>> expected = {
        {6, "start"},    {6, "rest"},         {30, "step 1"},  {54, "show Im0"},
        {54, "step 2"},  {78, "show Im90"},   {78, "step 3"},  {102, "show Im180"},
        {102, "step 4"}, {126, "show Im270"}, {126, "return"}, {150, "stop"},
        {150, "phase"}};
    EXPECT_EQ(Run(false), expected);
}

TEST_F(SequenceTest, ThePhaseComesFromTheFourFrames)
{
    // i270 - i90 = 100 and i0 - i180 = 100 at pixel 0: grey 31; i0 = i180 at pixel 1: 0.
    recorder.frames = {{200, 50}, {50, 10}, {100, 50}, {150, 10}};
    Run(false);
    ASSERT_TRUE(sequence.HasPhase());
    EXPECT_EQ(sequence.Phase(), (std::vector<uint8_t>{31, 0, 31, 0}));
    EXPECT_EQ(sequence.Frame(3), (std::vector<uint8_t>{150, 10, 150, 10}));
}

TEST_F(SequenceTest, FailuresStopTheRunWithTheirMessage)
{
    const std::string move = "Déplacement de l'axe X non terminé !";
    struct Case {
        const char* name;
        std::function<void(Recorder&)> breakRun; // at tick 40, between Im0 and Im90
        std::string status;
        bool stopped; // live acquisition stopped by the failure
        bool began;   // the run counts as begun (the page lets it run again)
        bool rested;  // the instrument's rest action came
    };
    const Case cases[] = {
        {"no start", [](Recorder&) {}, kLiveFailedText, false, false, false},
        {"lost ahead", [](Recorder&) {}, kLiveFailedText, false, true, false},
        {"live lost", [](Recorder& r) { r.running = false; }, kLiveFailedText, false, true, true},
        {"move", [&](Recorder& r) { r.broken = move; }, move, true, true, true},
    };
    for (const Case& c : cases) {
        Recorder r(4);
        r.starts = std::string(c.name) != "no start";
        r.lostAhead = std::string(c.name) == "lost ahead";
        PhaseSequence s(2, 2, {r, r, r, r});
        s.Start(false);
        for (int tick = 1; tick <= 300 && s.Timer(); ++tick) {
            if (tick == 40)
                c.breakRun(r);
            s.Tick();
        }
        EXPECT_EQ(s.GetState(), PhaseSequence::Failed) << c.name;
        EXPECT_EQ(r.status.back(), c.status) << c.name;
        EXPECT_FALSE(s.HasPhase()) << c.name;
        EXPECT_EQ(r.events.back() == "stop", c.stopped) << c.name;
        EXPECT_EQ(s.LiveStarted(), c.began) << c.name;
        EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "rest"), c.rested) << c.name;
        EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "phase"), 0) << c.name;
    }
}

TEST_F(SequenceTest, AFaultyInstrumentFinishesWithItsMessage)
{
    recorder.fault = "Carte P.I. C832 non trouvée !";
    Run(false);
    EXPECT_TRUE(sequence.HasPhase());
    EXPECT_EQ(recorder.status.back(), "Carte P.I. C832 non trouvée !");
}

TEST_F(SequenceTest, ARunCutOffKeepsTheLastCompleteOne)
{
    recorder.frames = {{1}, {2}, {3}, {4}};
    Run(false);
    sequence.Start(false);
    for (int tick = 0; tick < 80; ++tick) // two new frames
        sequence.Tick();
    for (int step = 0; step < 4; ++step)
        EXPECT_EQ(sequence.Frame(step), std::vector<uint8_t>(4, uint8_t(step + 1))) << step;
    // The next complete run takes their place.
    recorder.frames = {{5}, {6}, {7}, {8}};
    recorder.grabs = 0;
    Run(false);
    for (int step = 0; step < 4; ++step)
        EXPECT_EQ(sequence.Frame(step), std::vector<uint8_t>(4, uint8_t(step + 5))) << step;
}

TEST(ViewCycleTest, IndexesWrapAfterTheLastResult)
{
    for (auto [reference, result, last] :
         {std::tuple{false, false, 4}, {true, false, 5}, {true, true, 6}}) {
        std::vector<int> seen;
        int index = 0;
        for (int press = 0; press <= last + 1; ++press) {
            seen.push_back(index);
            index = NextShowIndex(index, reference, result);
        }
        std::vector<int> expected;
        for (int i = 0; i <= last; ++i)
            expected.push_back(i);
        expected.push_back(0);
        EXPECT_EQ(seen, expected) << last;
    }
    EXPECT_STREQ(ShowStatusText(6, false), "Image soustraction modulo 256 visualisée.");
    EXPECT_STREQ(ShowStatusText(6, true), "Image démodulée visualisée.");
    EXPECT_STREQ(ShowStatusText(0, false), "Image phase 0° visualisée.");
}

TEST(ViewCycleTest, SubtractionWrapsAndTilesHalveAFourByThreeImage)
{
    const uint8_t phase[] = {10, 250, 0}, reference[] = {250, 10, 0};
    uint8_t out[3];
    SubtractMod256(phase, reference, out, 3);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 3), (std::vector<uint8_t>{16, 240, 0}));
    EXPECT_EQ(MosaicTileSize(640, 480).width, 320);
    EXPECT_EQ(MosaicTileSize(640, 480).height, 240);
}

} // namespace
} // namespace acquisition

#include <gtest/gtest.h>

#include "metrology/acquisition/piezo_steps.h"
#include "metrology/acquisition/sequence_texts.h"
#include "metrology/acquisition/stage_steps.h"
#include "metrology/acquisition/stepper_steps.h"
#include "metrology/instruments/tests/instrument_bench.h"

namespace acquisition {
namespace {

using namespace std::chrono_literals;
using instruments::testing::InstrumentBench;

// The action's text once the move it began has ended, one move tick after
// another on the bench's clock.
std::string Moved(const std::string& said, PhaseInstrument& instrument, InstrumentBench& bench)
{
    while (instrument.Moving()) {
        bench.clock.SleepFor(std::chrono::milliseconds(instrument.MoveTickMs()));
        instrument.MoveTick();
    }
    return said;
}

TEST(PiezoStepsTest, VoltagesAreValidatedIntoSetpoints)
{
    struct Case {
        Voltages typed;
        int fullScale;
        Setpoints setpoints;
        std::array<const char*, 4> shown;
    };
    const Case cases[] = {
        {{99, 99, 99, 99}, 100, {971, 982, 992, 1002}, {"94.9", "96.0", "97.0", "97.9"}},
        {{50, 40, 60, 70}, 100, {511, 521, 613, 716}, {"50.0", "50.9", "59.9", "70.0"}},
        {{-3, 0, 0, 0}, 500, {0, 2, 4, 6}, {"0.0", "1.0", "2.0", "2.9"}},
    };
    for (const Case& c : cases) {
        TypedVoltages edited{};
        for (int k = 0; k < 4; ++k)
            edited[k].volts = c.typed[k];
        const Setpoints setpoints = ValidateVoltages(edited, c.fullScale);
        EXPECT_EQ(setpoints, c.setpoints) << c.typed[0];
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(SetpointText(setpoints[k], c.fullScale), c.shown[k]) << k;
    }
    std::string defaults;
    for (int setpoint : {409, 476, 544, 611})
        defaults += SetpointText(setpoint, 500) + " ";
    EXPECT_EQ(defaults, "199.9 232.6 265.9 298.6 ");
}

TEST(PiezoStepsTest, AVoltageLeftAsShownKeepsItsSetpoint)
{
    for (int fullScale : {500, 100})
        for (int count = 0; count <= 1023; ++count) {
            const std::string shown = SetpointText(count, fullScale);
            TypedVoltages untouched{};
            untouched.fill({std::stof(shown), count});
            const Setpoints setpoints = ValidateVoltages(untouched, fullScale);
            const double volts = count * fullScale / 1023.0;
            // Voltage k may lie in k..FS - 5 + k.
            for (int k = 0; k < 4; ++k)
                if (volts >= k && volts <= fullScale - 5 + k) {
                    ASSERT_EQ(setpoints[k], count) << fullScale << " V, U" << k + 1;
                }
        }
}

TEST(PiezoStepsTest, StepsSendTheirSetpointsAndEndAtZero)
{
    InstrumentBench bench;
    auto& supply = bench.Plug(0);
    int16_t slider = 300;
    PiezoSteps piezo(0, 0, slider, bench.clock, nullptr);
    piezo.SetSetpoints({409, 476, 544, 611}, 500);
    EXPECT_EQ(piezo.Rest(), "U(V): 0 (0/1023)");
    EXPECT_EQ(piezo.Step(1), "U(V): 199.9 (409/1023)");
    EXPECT_EQ(piezo.Step(4), "U(V): 298.6 (611/1023)");
    EXPECT_EQ(slider, 611);
    EXPECT_EQ(piezo.Return(), "U(V): 0 (0/1023)");
    EXPECT_EQ(slider, 0);
    supply.Service();
    std::vector<int> sent;
    for (const auto& setpoint : supply.Setpoints())
        sent.push_back(setpoint.value);
    EXPECT_EQ(sent, (std::vector<int>{0, 409, 611, 0}));
    EXPECT_EQ(piezo.Fault(), "");
}

TEST(PiezoStepsTest, ADeadSupplyBecomesTheFault)
{
    InstrumentBench bench;
    bench.Plug(0, {.flow = piezo_supply::Flow::Dead});
    int16_t slider = 0;
    std::vector<std::string> said;
    PiezoSteps piezo(0, 0, slider, bench.clock,
                     [&](const std::string& text) { said.push_back(text); });
    piezo.SetSetpoints({409, 476, 544, 611}, 500);
    piezo.Rest();
    piezo.Step(1);
    EXPECT_EQ(piezo.Fault(), "L'alimentation piézo ne répond pas (COM1) !");
    EXPECT_EQ(said, std::vector<std::string>{piezo.Fault()});
}

TEST(StageStepsTest, PositionsAreClampedAndReached)
{
    EXPECT_EQ(ClampStagePositions({12.5f, -1.0f, 0.5f, 0.75f}),
              (StagePositions{10.0f, 0.0f, 0.5f, 0.75f}));
    InstrumentBench bench;
    StageSteps stage(bench.clock, nullptr);
    EXPECT_EQ(stage.InitFailure(), "");
    stage.SetPositions({0.0f, 0.25f, 0.5f, 0.75f});
    EXPECT_EQ(Moved(stage.Step(2), stage, bench), "X2(mm): 0.250");
    EXPECT_NEAR(bench.card->Position(1), 30000, 1);
    EXPECT_EQ(Moved(stage.Step(4), stage, bench), "X4(mm): 0.75");
    EXPECT_NEAR(bench.card->Position(1), 90000, 1);
    EXPECT_EQ(Moved(stage.Return(), stage, bench), "X1(mm): 0.000");
    EXPECT_NEAR(bench.card->Position(1), 0, 1);
    EXPECT_EQ(stage.Broken(), "");
}

TEST(StageStepsTest, WithoutCardNothingMovesAndAStalledAxisOrALimitBreaksTheRun)
{
    {
        InstrumentBench bench;
        bench.card->SetAbsent(true);
        StageSteps stage(bench.clock, nullptr);
        EXPECT_EQ(stage.InitFailure(), "Carte P.I. C832 non trouvée !");
        EXPECT_EQ(stage.Fault(), stage.InitFailure());
        stage.SetPositions({1, 1, 1, 1});
        EXPECT_EQ(stage.Step(1), "X1(mm): 1.000");
        EXPECT_EQ(stage.Broken(), "");
    }
    for (const bool stalled : {true, false}) {
        InstrumentBench bench;
        StageSteps stage(bench.clock, nullptr);
        bench.card->SetStalled(1, stalled);
        bench.card->SetTravel(1, -1000000, stalled ? 1000000 : 40000);
        stage.SetPositions({0.5f, 1, 1, 1});
        Moved(stage.Step(1), stage, bench);
        EXPECT_EQ(stage.Broken(),
                  stalled ? instruments::kMoveNotFinishedText : instruments::kOverTravelText);
        EXPECT_EQ(bench.card->IsMotorOff(1), !stalled);
        // The next run starts afresh.
        stage.Rest();
        EXPECT_EQ(stage.Broken(), "");
    }
}

TEST(StageStepsTest, AMoveLeftUnfinishedStopsWhereItIs)
{
    InstrumentBench bench;
    {
        StageSteps stage(bench.clock, nullptr);
        stage.SetPositions({10, 0, 0, 0});
        stage.Step(1);
        bench.clock.SleepFor(1s);
        EXPECT_TRUE(stage.Moving());
    }
    // 20 mm/min: a third of a millimetre before the stop, far from the 10 mm asked.
    bench.clock.SleepFor(60s);
    EXPECT_LT(bench.card->Position(1), 120000);
}

TEST(StepperStepsTest, MovesPulseAtTwentyFiveStepsASecond)
{
    EXPECT_EQ(ClampStepperPositions({5000, 0, -2000, 7}), (StepperPositions{1000, 0, -1000, 7}));
    InstrumentBench bench;
    std::vector<std::string> progress;
    StepperSteps stepper(bench.clock, nullptr,
                         [&](const std::string& t) { progress.push_back(t); });
    stepper.SetPositions({0, 4, 1, 1});
    const auto start = bench.clock.Now();
    EXPECT_EQ(Moved(stepper.Step(2), stepper, bench), "X2(pas): 4");
    EXPECT_EQ(bench.clock.Now() - start, 40ms + 4 * 40ms);
    EXPECT_EQ(progress, (std::vector<std::string>{"+ 1/4", "+ 2/4", "+ 3/4", "+ 4/4"}));
    EXPECT_EQ(Moved(stepper.Step(3), stepper, bench), "X3(pas): 1");
    EXPECT_EQ(stepper.MotorPos(), 1);
    EXPECT_EQ(Moved(stepper.Step(4), stepper, bench), "X4(pas): 1");
    EXPECT_EQ(bench.stepper->Position(), 1);
    stepper.ResetMotor();
    EXPECT_EQ(progress.back(), "Reset moteur...");
    std::vector<uint8_t> values;
    for (const auto& write : bench.stepper->Writes())
        values.push_back(write.value);
    EXPECT_EQ(values,
              (std::vector<uint8_t>{0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
                                    0x02, 0x03, 0x02, 0x03, 0x02, 0x03, 0x02, 0x00, 0x04, 0x00}));
    EXPECT_EQ(stepper.Fault(), "");

    // A move cut short leaves no pulse high to swallow the next step's edge.
    {
        StepperSteps cut(bench.clock, nullptr, [](const std::string&) {});
        cut.SetPositions({0, 3, 0, 0});
        cut.Step(2);
        cut.MoveTick();
        EXPECT_EQ(bench.stepper->Writes().back().value, 0x01);
    }
    EXPECT_EQ(bench.stepper->Writes().back().value, 0x00);

    // Without the port a run ends with the failure, not as if it had moved.
    InstrumentBench withoutPort({.unconfigured = {"lpt"}});
    StepperSteps unreached(withoutPort.clock, withoutPort.Sink(), [](const std::string&) {});
    EXPECT_EQ(unreached.Fault(), "Erreur de connexion à QUENLO !");
    EXPECT_EQ(withoutPort.messages.size(), 1u);
}

} // namespace
} // namespace acquisition

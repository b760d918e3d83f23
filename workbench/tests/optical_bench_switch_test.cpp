// The workbench on the optical bench: its switch, and a measurement through
// the bench camera's plug-in as live acquisition opens it.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <thread>

#include "metrology/acquisition/sequence_texts.h"
#include "metrology/instruments/parallel_port.h"
#include "metrology/instruments/serial_port.h"
#include "tests/support/scoped_setting.h"
#include "workbench/app/optical_bench_switch.h"
#include "workbench/phase/tests/phase_fixture.h"
#include <optical_bench/scene.h>

namespace {

constexpr const char* kSwitch = "ONDULA_OPTICAL_BENCH";

class BenchSwitchTest : public WorkbenchTest {
protected:
    // The program started again with the switch at `value` (null: unset).
    void Restart(const char* value)
    {
        app.reset();
        switch_.Set(value);
        app = std::make_unique<CFraloApp>();
        ASSERT_TRUE(app->InitInstance({}, Path("config.dat")));
    }

    ScopedVariable pluginPath_{"ONDULA_PLUGIN_PATH", "/plugins"};
    ScopedVariable com1_{"ONDULA_COM1", nullptr};
    ScopedVariable switch_{kSwitch, nullptr};
};

TEST_F(BenchSwitchTest, WithoutTheSwitchNothingOfTheBenchRuns)
{
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        Restart(value);
        EXPECT_EQ(app->Bench(), nullptr);
        EXPECT_EQ(std::getenv("ONDULA_COM1"), nullptr);
        EXPECT_STREQ(std::getenv("ONDULA_PLUGIN_PATH"), "/plugins");
    }
}

TEST_F(BenchSwitchTest, TheSwitchRunsTheBenchUntilTheProgramEnds)
{
    Restart("1");
    ASSERT_NE(app->Bench(), nullptr);
    optical_bench::Rig& rig = app->Bench()->Rig();
    ASSERT_FALSE(rig.SupplyPath().empty());
    EXPECT_EQ(std::getenv("ONDULA_COM1"), rig.SupplyPath());
    EXPECT_EQ(std::getenv("ONDULA_PLUGIN_PATH"),
              optical_bench::CameraFolderBesideProgram() + ":/plugins");

    // The supply answers on COM1; the stepper is the one on the bus.
    const auto fail = [](const std::string& text) { ADD_FAILURE() << text; };
    ondula::VirtualClock clock;
    instruments::CSerialPort com1(0, app->m_nSupplyModel, clock, fail);
    com1.SendSetpoint(544);
    const double volts = 544 * 500 / 1023.0;
    for (int wait = 0; wait < 5000 && std::abs(rig.SupplyVolts() - volts) > 1e-6; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_NEAR(rig.SupplyVolts(), volts, 1e-6);
    instruments::CParallelPort lpt(fail);
    for (std::uint8_t value : {0x01, 0x00})
        lpt.WriteData(value);
    EXPECT_EQ(rig.Stepper().Position(), 1);
    // The projector's patterns have the camera document's size, the default one.
    const int width = app->m_nDefaultWidth, height = app->m_nDefaultHeight;
    std::vector<std::uint8_t> pattern(std::size_t(width) * height, 200), frame(pattern.size());
    app->Bench()->Project(pattern.data(), 10);
    optical_bench::RenderScene(frame.data(), width, height);
    EXPECT_EQ(frame, pattern);
    app->Bench()->Hide();
    optical_bench::RenderScene(frame.data(), width, height);
    EXPECT_NE(frame, pattern);

    app.reset();
    EXPECT_EQ(std::getenv("ONDULA_COM1"), nullptr);
    EXPECT_STREQ(std::getenv("ONDULA_PLUGIN_PATH"), "/plugins");
}

// Live acquisition of source 6 opens the kdLyra cameras' interface, which the
// bench camera's folder provides ahead of the real plug-in.
class BenchCameraRoadTest : public PhaseBenchTest {
protected:
    void SetUp() override
    {
        PhaseBenchTest::SetUp();
        app->Live().SetGrabbers(LibraryFrameGrabbers());
        optical_bench::SetSceneShift(
            [this] { return optical_bench::StepperFringes(bench.stepper->Position()); });
    }
    void TearDown() override
    {
        optical_bench::SetSceneShift(nullptr);
        PhaseBenchTest::TearDown();
    }
};

TEST_F(BenchCameraRoadTest, TheStepperMeasuresTheSurfaceThroughTheBenchCamera)
{
    auto* page = Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper);
    ASSERT_NE(page, nullptr);
    Run(*page);
    EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kPhaseDoneText));
    EXPECT_EQ(grabber.opens, 0);
    // The wrapped phase is the surface's, 256 grey levels a fringe.
    const CFraloDoc* phase = page->PhaseDocument();
    int worst = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double turn = 2 * std::numbers::pi,
                         surface =
                             std::fmod(optical_bench::SurfacePhase(x, y, kWidth, kHeight), turn);
            const int expected =
                std::min(255, int((surface < 0 ? surface + turn : surface) * 255 / 6.28));
            const int off = std::abs(Pixel(phase, x, y) - expected);
            worst = std::max(worst, std::min(off, 256 - off));
        }
    EXPECT_LE(worst, 3);
}

} // namespace

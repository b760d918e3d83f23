// The measuring road on the optical bench: each instrument shifts the fringes
// of the known surface a quarter fringe at a time, the page computes the
// wrapped phase, and the demodulation dialog unwraps it into the surface.
#include "metrology/acquisition/sequence_texts.h"
#include "phase_fixture.h"
#include "tests/support/known_surface.h"
#include "workbench/analysis/demodulation_dlg.h"

namespace {

class MeasurementRoadTest : public PhaseBenchTest {
protected:
    // `offset`: the phase of the instrument's first step, in radians.
    void Measure(CPhasePage* page, double offset = 0)
    {
        ASSERT_NE(page, nullptr);
        Run(*page);
        EXPECT_EQ(page->Status(), QString::fromUtf8(acquisition::kPhaseDoneText));
        CFraloDoc* phase = page->PhaseDocument();
        EXPECT_EQ(phase->m_strName, QStringLiteral("ImPhasee%1").arg(phase->m_nImageNumber));
        frame->MdiArea()->setActiveSubWindow(phase->m_pChildFrame);

        CDemodulationDlg demodulation(app.get());
        demodulation.OnTimer(CDemodulationDlg::TIMER_CHOICE);
        Control<QPushButton>(demodulation, 1107)->click();
        const CFraloDoc* height = demodulation.ResultDocument();
        ASSERT_NE(height, nullptr);
        const known_surface::Fit fit = known_surface::FitHeightOfSize(
            [&](int x, int y) { return Pixel(height, x, y); }, kWidth, kHeight, offset);
        EXPECT_LE(fit.worst, 3.0);
        EXPECT_EQ(height->m_nFringeCount, fit.fringes);
        EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    }
};

TEST_F(MeasurementRoadTest, ThePiezoMeasuresTheSurface)
{
    auto& supply = bench.Plug(0);
    shift = [&] { return optical_bench::PiezoFringes(supply.Voltage()); };
    // The first set-point, 409 of 1023 at 500 V, adds about half a fringe.
    const double first = optical_bench::PiezoFringes(409 * 500 / 1023.0);
    Measure(Open<CPiezoPhasePage>(CPhaseAcqDlg::TabPiezo), 2 * std::numbers::pi * first);
}

TEST_F(MeasurementRoadTest, TheStageMeasuresTheSurface)
{
    shift = [&] { return optical_bench::StageFringes(bench.card->Position(1) / 120000.0); };
    Measure(Open<CStagePhasePage>(CPhaseAcqDlg::TabStage));
}

TEST_F(MeasurementRoadTest, TheStepperMeasuresTheSurface)
{
    shift = [&] { return optical_bench::StepperFringes(bench.stepper->Position()); };
    Measure(Open<CStepperPhasePage>(CPhaseAcqDlg::TabStepper));
}

TEST_F(MeasurementRoadTest, ADeadSupplyEndsWithItsMessage)
{
    bench.Plug(0, {.flow = piezo_supply::Flow::Dead});
    auto* page = Open<CPiezoPhasePage>(CPhaseAcqDlg::TabPiezo);
    Run(*page);
    const QString dead = QString::fromUtf8("L'alimentation piézo ne répond pas (COM1) !");
    EXPECT_EQ(page->Status(), dead);
    EXPECT_EQ(messages, QStringList{dead});
}

} // namespace

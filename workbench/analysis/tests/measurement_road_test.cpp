// The measuring road through the workbench's dialogs: four interferograms of a
// known surface as documents, the phase dialog, the demodulation dialog.
#include "analysis_fixture.h"
#include "tests/support/known_surface.h"
#include "workbench/analysis/demodulation_dlg.h"
#include "workbench/analysis/phase4_dlg.h"

using namespace known_surface;

namespace {

TEST_F(AnalysisTest, MeasurementRoadFromFourInterferogramsToTheHeightImage)
{
    CFraloDoc* i0 = nullptr;
    for (int k = 0; k < 4; ++k) {
        CFraloDoc* doc =
            AddDocument(kWidth, kHeight, [k](int x, int y) { return Interferogram(k, x, y); });
        i0 = i0 ? i0 : doc;
    }
    // Listed from i0 on, the last four are i0 to i270.
    frame->MdiArea()->setActiveSubWindow(i0->m_pChildFrame);
    CPhase4Dlg phase(app.get());
    phase.OnTimer(CPhase4Dlg::TIMER_CHOICE);
    Control<QPushButton>(phase, 1)->click();
    ASSERT_NE(phase.NewDocument(), nullptr);

    // The phased box shows the active document: the phase image just made.
    CDemodulationDlg demodulation(app.get());
    demodulation.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    Control<QPushButton>(demodulation, 1107)->click();
    const CFraloDoc* height = demodulation.ResultDocument();
    ASSERT_NE(height, nullptr);

    const Fit fit = FitHeight([&](int x, int y) { return Pixel(height, x, y); });
    EXPECT_LE(fit.worst, 2.0);
    EXPECT_EQ(height->m_nFringeCount, fit.fringes);
    EXPECT_EQ(height->m_strName,
              QString("ImDemod%1_M%2").arg(app->m_nImageCounter).arg(fit.fringes));
}

} // namespace

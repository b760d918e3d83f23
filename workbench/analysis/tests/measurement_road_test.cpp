// The measuring road through the workbench's dialogs: four interferograms of a
// known surface as documents, the phase dialog, the demodulation dialog.
#include <cmath>
#include <numbers>

#include "analysis_fixture.h"
#include "demodulation_dlg.h"
#include "phase4_dlg.h"

namespace {

TEST_F(AnalysisTest, MeasurementRoadFromFourInterferogramsToTheHeightImage)
{
    constexpr int kWidth = 160, kHeight = 120;
    // A tilted dome: about six fringes over the image.
    const auto surface = [](int x, int y) {
        const double dx = (x - 70) / 80.0, dy = (y - 50) / 80.0;
        return 2 * std::numbers::pi * (4.0 * (dx * dx + dy * dy) + 1.5 * dx + 0.7);
    };
    CFraloDoc* i0 = nullptr;
    for (int k = 0; k < 4; ++k) {
        CFraloDoc* doc = AddDocument(kWidth, kHeight, [&](int x, int y) {
            return int(std::lround(128 + 100 * std::cos(surface(x, y) + k * std::numbers::pi / 2)));
        });
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
    EXPECT_TRUE(height->m_strName.startsWith("ImDemod"));

    // Fit height = a x surface + b inside the frame; look at the worst residual.
    double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0, smin = 1e9, smax = -1e9;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x) {
            const double s = surface(x, y), h = Pixel(height, x, y);
            sx += s, sy += h, sxx += s * s, sxy += s * h, ++count;
            smin = std::min(smin, s), smax = std::max(smax, s);
        }
    const double a = (count * sxy - sx * sy) / (count * sxx - sx * sx), b = (sy - a * sx) / count;
    double worst = 0;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x)
            worst = std::max(worst, std::abs(Pixel(height, x, y) - (a * surface(x, y) + b)));
    EXPECT_LE(worst, 2.0);
    const int fringes = int(std::floor(smax / (2 * std::numbers::pi))) -
                        int(std::floor(smin / (2 * std::numbers::pi)));
    EXPECT_EQ(height->m_nFringeCount, fringes);
    EXPECT_TRUE(height->m_strName.endsWith(QString("_M%1").arg(fringes)));
}

} // namespace

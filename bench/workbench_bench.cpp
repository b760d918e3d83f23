// Start-up of the workbench to its shown main window (target: under 0.5 s),
// the view's display of a 1280 x 1024 grey image (target: under 2 ms), one
// frame of the 3-D view of a 1024 x 768 image with its readback (target: under
// 50 ms; run under xvfb-run with QT_QPA_PLATFORM=xcb, skipped without an OpenGL
// context), and what the analysis dialogs add to their kernels at 1024 x 768:
// "&Démoduler" at most 10 ms over the unwrapper alone, the phase dialog's OK
// under 5 ms.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <verodyn/operators.h>

#include "interferograms.h"
#include "started_workbench.h"
#include "workbench/analysis/demodulation_dlg.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/analysis/phase4_dlg.h"
#include "workbench/app/fralo_app.h"
#include "workbench/common/user_message.h"
#include "workbench/dialogs/gl_wnd.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/frame/main_frame.h"
#include "workbench/view/child_frame.h"
#include "workbench/view/fralo_view.h"

namespace {

void BM_StartToShownMainWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        CFraloApp app;
        app.InitInstance({}, dir.filePath("config.dat"));
        QApplication::processEvents();
        benchmark::DoNotOptimize(app.MainFrame()->isVisible());
    }
}
BENCHMARK(BM_StartToShownMainWindow)->Unit(benchmark::kMillisecond);

void BM_DisplayGrey1280x1024(benchmark::State& state)
{
    StartedWorkbench bench;
    CFraloDoc* doc = bench.app.MainFrame()->ActiveDocument();
    std::vector<uint8_t> plane(1280 * 1024, 128);
    Vobject image;
    gen_image1(&image, "byte", 1280, 1024, plane.data());
    doc->SetImage(image);
    for (auto _ : state)
        doc->m_pView->DisplayImage();
}
BENCHMARK(BM_DisplayGrey1280x1024)->Unit(benchmark::kMillisecond);

void BM_PointCloud1024x768(benchmark::State& state)
{
    SetMessageSink([](const QString&, MessageButtons) { return int(AnswerOk); });
    const int width = 1024, height = 768;
    CGlWnd gl;
    if (!gl.InitGL(width, height)) {
        state.SkipWithError("no OpenGL context");
        return;
    }
    std::vector<uint8_t> plane(std::size_t(width) * height);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = static_cast<uint8_t>(i % width / 4 + i / width / 3);
    float angle = 0;
    // The GL's first large draw sets up its own buffers once; frames after it
    // are what a user turning the cloud waits for.
    gl.DrawPointCloud(plane.data(), width, height, 1, -2, angle, 10);
    for (auto _ : state) {
        gl.DrawPointCloud(plane.data(), width, height, 1, -2, angle, 10);
        benchmark::DoNotOptimize(gl.Picture().constBits());
        angle -= 20;
    }
    SetMessageSink(nullptr);
}
BENCHMARK(BM_PointCloud1024x768)->Unit(benchmark::kMillisecond);
// A started workbench whose only documents hold the given 1024 x 768 planes, the
// first of them active (so listed first).
class RoadWorkbench : public StartedWorkbench {
public:
    explicit RoadWorkbench(const std::vector<const std::vector<std::uint8_t>*>& planes)
    {
        delete app.MainFrame()->ActiveChild();
        for (const std::vector<std::uint8_t>* plane : planes) {
            Vobject image;
            gen_image1(&image, "byte", road::kWidth, road::kHeight, plane->data());
            CFraloDoc* doc = app.NewImageDocument(road::kWidth, road::kHeight);
            doc->SetImage(image);
            first = first ? first : doc;
        }
        app.MainFrame()->MdiArea()->setActiveSubWindow(first->m_pChildFrame);
    }

    CFraloDoc* first = nullptr;
};

void BM_DemodulateUnwrapAlone(benchmark::State& state)
{
    const std::vector<std::uint8_t> wrapped = road::WrappedPhase();
    const std::vector<std::int32_t> phase(wrapped.begin(), wrapped.end());
    std::vector<std::int32_t> out(road::kPixels);
    for (auto _ : state) {
        CPhaseUnwrapper unwrapper;
        benchmark::DoNotOptimize(unwrapper.Unwrap(road::kWidth, road::kHeight, phase.data(),
                                                  nullptr, out.data(), UW_QUALITY_VARIANCE));
    }
}
BENCHMARK(BM_DemodulateUnwrapAlone)->Unit(benchmark::kMillisecond);

void BM_DemodulateButton(benchmark::State& state)
{
    const std::vector<std::uint8_t> wrapped = road::WrappedPhase();
    RoadWorkbench bench({&wrapped});
    CDemodulationDlg dialog(&bench.app);
    dialog.OnTimer(CDemodulationDlg::TIMER_CHOICE);
    auto* run = dialog.findChild<QPushButton*>(ControlName(1107));
    for (auto _ : state) {
        run->click();
        state.PauseTiming();
        delete dialog.ResultDocument()->m_pChildFrame;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DemodulateButton)->Unit(benchmark::kMillisecond);

void BM_Phase4DlgOK(benchmark::State& state)
{
    const auto& f = road::Frames().frame;
    RoadWorkbench bench({&f[0], &f[1], &f[2], &f[3]});
    for (auto _ : state) {
        state.PauseTiming();
        bench.app.MainFrame()->MdiArea()->setActiveSubWindow(bench.first->m_pChildFrame);
        CPhase4Dlg dialog(&bench.app);
        dialog.OnTimer(CPhase4Dlg::TIMER_CHOICE);
        auto* ok = dialog.findChild<QPushButton*>(ControlName(1));
        state.ResumeTiming();
        ok->click();
        state.PauseTiming();
        delete dialog.NewDocument()->m_pChildFrame;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Phase4DlgOK)->Unit(benchmark::kMillisecond);

} // namespace

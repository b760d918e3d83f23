// The live derived views and the mask brush at 1280 x 1024: one tick of the
// false-colour and of the real-time view, from the camera frame to the
// result shown (target: under 10 ms each, so that the 50 ms timer keeps
// pace), and one brush step on a colour image, painted and shown (target:
// under 10 ms).
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>

#include "started_workbench.h"
#include "tests/support/scripted_grabber.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/app/fralo_app.h"
#include "workbench/dialogs/false_color_dlg.h"
#include "workbench/dialogs/mask_dlg.h"
#include "workbench/dialogs/real_time_dlg.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/frame/main_frame.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// A 1280 x 1024 frame whose grey levels vary along both axes.
Vobject Frame(int channels)
{
    PlaneBuffers planes{kWidth, kHeight, channels, {}};
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < kWidth * kHeight; ++i)
            planes.planes[c].push_back(static_cast<uint8_t>(i % kWidth / 5 + i / kWidth / 4 + c));
    Vobject image;
    MakeImageFromPlanes(planes, &image);
    return image;
}

// A started workbench acquiring from the large USB camera (1280 x 1024) through
// a scripted grabber.
struct LiveBench : StartedWorkbench {
    LiveBench()
    {
        app.Live().SetGrabbers(grabber);
        app.m_nSource = 6;
        app.FillSizeTable(6);
        app.m_nDefaultWidth = kWidth;
        app.m_nDefaultHeight = kHeight;
    }
    ScriptedGrabber grabber;
};

template <class Dialog> void Tick(benchmark::State& state, int timerId)
{
    LiveBench bench;
    Dialog dialog(&bench.app, bench.app.MainFrame());
    dialog.template findChild<QPushButton*>(ControlName(1))->click();
    const Vobject frame = Frame(1);
    for (auto _ : state) {
        dialog.CameraDocument()->m_image = frame;
        dialog.OnTimer(timerId);
    }
    if (ShapeOf(dialog.ResultDocument()->m_image).width != kWidth)
        state.SkipWithError("the result is not of the camera's size");
    dialog.reject();
}

void BM_FalseColourTick(benchmark::State& state)
{
    Tick<CFalseColorDlg>(state, CFalseColorDlg::TIMER_FALSE_COLOURS);
}
BENCHMARK(BM_FalseColourTick)->Unit(benchmark::kMillisecond);

void BM_RealTimeTick(benchmark::State& state)
{
    Tick<CRealTimeDlg>(state, CRealTimeDlg::TIMER_REAL_TIME);
}
BENCHMARK(BM_RealTimeTick)->Unit(benchmark::kMillisecond);

void BM_MaskBrush(benchmark::State& state)
{
    StartedWorkbench bench;
    CFraloApp& app = bench.app;
    CFraloDoc* doc = app.MainFrame()->ActiveDocument();
    doc->SetImage(Frame(3));
    app.m_nMaskShape = 2;
    auto* dialog = new CMaskDlg(&app, app.MainFrame());
    app.m_pMaskDlg = dialog;
    int x = 0;
    for (auto _ : state) {
        dialog->PaintZone(2, x - 5, 500, x + 5, 510);
        x = (x + 3) % kWidth;
    }
    dialog->reject();
}
BENCHMARK(BM_MaskBrush)->Unit(benchmark::kMillisecond);

} // namespace

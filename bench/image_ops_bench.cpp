// The image-operation dialogs on a 1280 x 1024 colour image: a 7 x 7
// convolution (target: under 6 ms), the brightness and gamma curve (under
// 0.6 ms), one brightness and gamma preview from the saved copy to the shown
// window (under 10 ms) and one resize preview to 200 % with its display (under
// 5 ms), so that a preview keeps pace with the 50 ms timer.
#include <QSlider>

#include <benchmark/benchmark.h>

#include <imageproc/convolution.h>
#include <imageproc/tone_curves.h>
#include <verodyn/operators.h>

#include "started_workbench.h"
#include "workbench/analysis/dialog_controls.h"
#include "workbench/dialogs/luminance_gamma_dlg.h"
#include "workbench/dialogs/resize_dlg.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/frame/main_frame.h"
#include "worker_rows.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

PlaneBuffers ColourPlanes()
{
    PlaneBuffers p;
    p.width = kWidth;
    p.height = kHeight;
    p.channels = 3;
    for (int c = 0; c < 3; ++c) {
        p.planes[c].resize(std::size_t(kWidth) * kHeight);
        for (std::size_t i = 0; i < p.planes[c].size(); ++i)
            p.planes[c][i] = static_cast<uint8_t>(i * (c + 3) + i / kWidth);
    }
    return p;
}

void BM_Convolve7x7(benchmark::State& state)
{
    const PlaneBuffers source = ColourPlanes();
    int16_t kernel[49];
    for (int i = 0; i < 49; ++i)
        kernel[i] = static_cast<int16_t>(i % 5 - 2);
    UseWorkers(state);
    for (auto _ : state) {
        state.PauseTiming();
        PlaneBuffers planes = source;
        state.ResumeTiming();
        Convolve(kernel, 7, 3, &planes);
        benchmark::DoNotOptimize(planes.planes[2].data());
    }
}
BENCHMARK(BM_Convolve7x7)->Apply(WorkerRows)->Unit(benchmark::kMillisecond);

void BM_LuminanceGamma(benchmark::State& state)
{
    PlaneBuffers planes = ColourPlanes();
    UseWorkers(state);
    for (auto _ : state) {
        ApplyTable(LuminanceGammaTable(10, 0.7f), &planes);
        benchmark::DoNotOptimize(planes.planes[2].data());
    }
}
BENCHMARK(BM_LuminanceGamma)->Apply(WorkerRows)->Unit(benchmark::kMillisecond);

// A started workbench whose active document holds the colour image.
struct Workbench : StartedWorkbench {
    Workbench()
    {
        doc = app.MainFrame()->ActiveDocument();
        Vobject image;
        GenImageFromPlanes(ColourPlanes(), &image);
        doc->SetImage(image);
    }
    CFraloDoc* doc = nullptr;
};

void BM_PreviewUpdate(benchmark::State& state)
{
    Workbench bench;
    CLuminanceGammaDlg dialog(*bench.doc);
    dialog.findChild<QSlider*>(ControlName(155))->setValue(60);
    dialog.findChild<QSlider*>(ControlName(159))->setValue(70);
    for (auto _ : state)
        dialog.ApplySetting();
}
BENCHMARK(BM_PreviewUpdate)->Unit(benchmark::kMillisecond);

void BM_ResizePreview200(benchmark::State& state)
{
    Workbench bench;
    CResizeDlg dialog(*bench.doc);
    dialog.findChild<QSlider*>(ControlName(1019))->setValue(200);
    UseWorkers(state);
    for (auto _ : state)
        dialog.ApplySetting();
}
BENCHMARK(BM_ResizePreview200)->Apply(WorkerRows)->Unit(benchmark::kMillisecond);

} // namespace

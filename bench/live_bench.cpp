// Live acquisition on the GUI thread, per frame (target: at most 4 ms each,
// a quarter of the thread at 60 frames a second): a 1280 x 1024 colour frame
// grabbed from a simulated plug-in and shown with disp_obj, and one previewed
// by the webcam's capture window; both painted as the screen would be.
#include <chrono>

#include <QImage>

#include <benchmark/benchmark.h>

#include <clock/clock.h>
#include <verodyn/framegrabber.h>
#include <verodyn/window.h>
#include <vfw/capture_window.h>
#include <vfw/simulated_webcam.h>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

void BM_LiveGrabAndDisplayColour1280x1024(benchmark::State& state)
{
    long grabber = 0;
    if (open_framegrabber("MockCam", 1, 1, kWidth, kHeight, 0, 0, "default", -1, "rgb", 1.0,
                          "false", "default", "0", 0, 0, &grabber) != V_OK) {
        state.SkipWithError("the simulated plug-in VFGMockCam did not open");
        return;
    }
    long window = 0;
    open_window(0, 0, kWidth, kHeight, nullptr, "visible", "", &window);
    set_part(window, 0, 0, kHeight, kWidth);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    Vobject frame;
    for (auto _ : state) {
        grab_image(&frame, grabber);
        disp_obj(frame, window);
        window_widget(window)->render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
    close_window(window);
    close_framegrabber(grabber);
}
BENCHMARK(BM_LiveGrabAndDisplayColour1280x1024)->Unit(benchmark::kMillisecond);

void BM_LivePreviewColour1280x1024(benchmark::State& state)
{
    ondula::VirtualClock clock;
    vfw::SetDriverFactory(
        [&](int) { return std::make_unique<vfw::SimulatedWebcam>(kWidth, kHeight, clock); });
    vfw::CaptureWindow window(QStringLiteral("WebCam"), nullptr, 0, 0, kWidth, kHeight);
    window.DriverConnect(0);
    window.SetScale(true);
    window.SetPreview(true);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        clock.Advance(std::chrono::milliseconds(33));
        window.PreviewTick();
        window.render(&screen);
        benchmark::DoNotOptimize(screen.constBits());
    }
    vfw::SetDriverFactory(nullptr);
}
BENCHMARK(BM_LivePreviewColour1280x1024)->Unit(benchmark::kMillisecond);

} // namespace

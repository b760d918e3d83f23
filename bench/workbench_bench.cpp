// Start-up of the workbench to its shown main window (target: under 0.5 s),
// the view's display of a 1280 x 1024 grey image (target: under 2 ms), and
// one frame of the 3-D view of a 1024 x 768 image with its readback (target:
// under 80 ms; run under xvfb-run with QT_QPA_PLATFORM=xcb, skipped without
// an OpenGL context).
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <verodyn/operators.h>

#include "fralo_app.h"
#include "fralo_doc.h"
#include "fralo_view.h"
#include "gl_wnd.h"
#include "main_frame.h"
#include "user_message.h"

namespace {

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "bench_workbench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(argc, argv);
    return application;
}

void BM_StartToShownMainWindow(benchmark::State& state)
{
    Application();
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
    Application();
    QTemporaryDir dir;
    CFraloApp app;
    app.InitInstance({}, dir.filePath("config.dat"));
    CFraloDoc* doc = app.MainFrame()->ActiveDocument();
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
    Application();
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
    for (auto _ : state) {
        gl.DrawPointCloud(plane.data(), width, height, 1, -2, angle, 10);
        benchmark::DoNotOptimize(gl.Picture().constBits());
        angle -= 20;
    }
    SetMessageSink(nullptr);
}
BENCHMARK(BM_PointCloud1024x768)->Unit(benchmark::kMillisecond);

} // namespace

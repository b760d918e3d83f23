// Start-up of the workbench to its shown main window (target: under 0.5 s),
// and the view's display of a 1280 x 1024 grey image (target: under 2 ms).
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <verodyn/operators.h>

#include "fralo_app.h"
#include "fralo_doc.h"
#include "fralo_view.h"
#include "main_frame.h"
#include "offscreen_application.h"

namespace {

void BM_StartToShownMainWindow(benchmark::State& state)
{
    OffscreenApplication();
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
    OffscreenApplication();
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

} // namespace

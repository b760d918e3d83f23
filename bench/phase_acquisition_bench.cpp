// What the phase-shift sequence adds to its instrument at 1280 x 1024, with an
// instrument that takes no time: each grab state's work (the frame into its
// plane and image, the result document updated) under 3 ms, the finish (the
// phase and the result document) under 5 ms.
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "acquisition_sources.h"
#include "bench_grabber.h"
#include "clock/clock.h"
#include "fralo_app.h"
#include "fralo_doc.h"
#include "fralo_view.h"
#include "instrument_pages.h"
#include "main_frame.h"
#include "offscreen_application.h"
#include "phase_acq_dlg.h"
#include "user_message.h"

namespace {

constexpr int kWidth = 1280, kHeight = 1024;

// A started workbench acquiring from the bench's camera, on the stepper page
// (no port: its moves are instant).
class PhaseWorkbench {
public:
    PhaseWorkbench()
    {
        OffscreenApplication();
        SetMessageSink([](const QString&, MessageButtons) { return int(AnswerOk); });
        app.InitInstance({}, dir.filePath("config.dat"));
        QDir::setCurrent(dir.path());
        app.m_nSource = SourceUsbCameraLarge;
        app.FillSizeTable(app.m_nSource);
        app.m_nDefaultWidth = kWidth;
        app.m_nDefaultHeight = kHeight;
        app.Live().SetGrabbers(grabber);
        camera = app.MainFrame()->ActiveDocument();
        dialog = std::make_unique<CPhaseAcqDlg>(&app, clock);
        dialog->ShowPage(CPhaseAcqDlg::TabStepper);
        page = static_cast<CPhasePage*>(dialog->Page());
    }
    ~PhaseWorkbench()
    {
        dialog.reset();
        SetMessageSink(nullptr);
    }

    // Ticks the view and the page until the sequence's timer is `timer` on
    // its last tick before acting.
    void TickUntilDue(int timer)
    {
        while (page->Sequence()->Timer() != timer)
            Tick();
        for (int tick = 0; tick < 20; ++tick)
            Tick();
    }
    void Tick()
    {
        FireLiveTimers();
        TickPage();
    }
    // The camera's frame comes by the view's live timers, outside the sequence.
    void FireLiveTimers()
    {
        for (int id : {98, 99})
            if (camera->m_pView->IsTimerActive(id))
                camera->m_pView->OnTimer(id);
    }
    void TickPage()
    {
        if (const int timer = page->Sequence()->Timer())
            page->OnTimer(timer);
    }

    QTemporaryDir dir;
    ondula::VirtualClock clock;
    optical_bench::Interferometer optics{kWidth, kHeight, [] { return 0.0; }};
    BenchGrabber grabber{optics};
    CFraloApp app;
    CFraloDoc* camera = nullptr;
    std::unique_ptr<CPhaseAcqDlg> dialog;
    CPhasePage* page = nullptr;
};

void RunTimed(benchmark::State& state, int timedTimer)
{
    PhaseWorkbench bench;
    for (auto _ : state) {
        state.PauseTiming();
        bench.page->OnAcquisition();
        bench.TickUntilDue(timedTimer);
        bench.FireLiveTimers();
        state.ResumeTiming();
        bench.TickPage();
        state.PauseTiming();
        while (bench.page->Sequence()->Timer())
            bench.Tick();
        state.ResumeTiming();
    }
}

void BM_PhaseGrabState1280x1024(benchmark::State& state) { RunTimed(state, 12); }
BENCHMARK(BM_PhaseGrabState1280x1024)->Unit(benchmark::kMillisecond);

void BM_PhaseFinish1280x1024(benchmark::State& state) { RunTimed(state, 15); }
BENCHMARK(BM_PhaseFinish1280x1024)->Unit(benchmark::kMillisecond);

} // namespace

// What the phase-shift sequence adds to its instrument at 1280 x 1024, with an
// instrument that takes no time: each grab state's work (the frame into its
// plane and image, the result document updated) under 3 ms, the finish (the
// phase and the result document) under 5 ms. The step timers are precise:
// 21 ticks of 50 ms stay 1.05 s.
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <verodyn/operators.h>

#include "started_workbench.h"
#include "workbench/app/fralo_app.h"
#include "workbench/common/user_message.h"
#include "workbench/common/window_timers.h"
#include "workbench/core/acquisition_sources.h"
#include "workbench/core/frame_grabber_port.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/frame/main_frame.h"
#include "workbench/phase/instrument_pages.h"
#include "workbench/phase/phase_acq_dlg.h"
#include "workbench/phase/sequence_timer.h"
#include "workbench/view/fralo_view.h"
#include <clock/clock.h>
#include <optical_bench/interferometer.h>

namespace {

constexpr int kWidth = 1280, kHeight = 1024;

// The bench's camera with its frame rendered once: the figures are the
// sequence's own work, not the rendering of the fringes.
class StillCamera final : public FrameGrabberPort {
public:
    StillCamera() : m_frame(std::size_t(kWidth) * kHeight)
    {
        optical_bench::Interferometer(kWidth, kHeight, [] { return 0.0; }).Render(m_frame.data());
    }
    Vstatus Open(const OpenTuple&, long* handle) override
    {
        *handle = 1;
        return V_OK;
    }
    Vstatus GrabImage(Vobject* image, long) override
    {
        return gen_image1(image, "byte", kWidth, kHeight, m_frame.data());
    }
    Vstatus SetParam(long, const char*, const VTuple&) override { return V_OK; }
    Vstatus GetParam(long, const char*, VTuple*) override { return kParameterUnknown; }
    Vstatus Info(const char*, const char*, VTuple*) override { return V_OK; }
    void Close(long) override { }
    void CloseAll() override { }

private:
    static constexpr Vstatus kParameterUnknown = 5321;
    std::vector<std::uint8_t> m_frame;
};

// A started workbench acquiring from the still camera, on the stepper page
// (no port: its moves are instant).
class PhaseWorkbench {
public:
    PhaseWorkbench()
    {
        SetMessageSink([](const QString&, MessageButtons) { return int(AnswerOk); });
        QDir::setCurrent(started.dir.path());
        app.m_nSource = SourceUsbCameraLarge;
        app.FillSizeTable(app.m_nSource);
        app.m_nDefaultWidth = kWidth;
        app.m_nDefaultHeight = kHeight;
        app.Live().SetGrabbers(camera);
        cameraDoc = app.MainFrame()->ActiveDocument();
        dialog = std::make_unique<CPhaseAcqDlg>(&app, clock);
        dialog->ShowPage(CPhaseAcqDlg::TabStepper);
        page = static_cast<CPhasePage*>(dialog->Page());
    }
    ~PhaseWorkbench()
    {
        dialog.reset();
        SetMessageSink(nullptr);
    }

    // Ticks the page until its timer `timer` is on its last tick before acting,
    // with the camera's frame of that moment in the camera document.
    void TickUntilDue(int timer)
    {
        while (page->Sequence()->Timer() != timer)
            TickPage();
        for (int tick = 0; tick < 20; ++tick)
            TickPage();
        FireLiveTimers();
    }
    // The camera's frame comes by the view's live timers, outside the sequence;
    // the sequence reads it only when it grabs, so the waits need none.
    void FireLiveTimers()
    {
        for (int id : {98, 99})
            if (static_cast<CFraloView*>(cameraDoc->m_pView)->IsTimerActive(id))
                static_cast<CFraloView*>(cameraDoc->m_pView)->OnTimer(id);
    }
    void TickPage()
    {
        if (const int timer = page->Sequence()->Timer())
            page->OnTimer(timer);
    }
    void RunToEnd()
    {
        while (const int timer = page->Sequence()->Timer()) {
            if (timer >= 11 && timer <= 14)
                TickUntilDue(timer);
            TickPage();
        }
    }

    ondula::VirtualClock clock;
    // The camera outlives the workbench that grabs from it.
    StillCamera camera;
    StartedWorkbench started;
    CFraloApp& app = started.app;
    CFraloDoc* cameraDoc = nullptr;
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
        state.ResumeTiming();
        bench.TickPage();
        state.PauseTiming();
        bench.RunToEnd();
        state.ResumeTiming();
    }
}

void BM_PhaseGrabState1280x1024(benchmark::State& state) { RunTimed(state, 12); }
BENCHMARK(BM_PhaseGrabState1280x1024)->Unit(benchmark::kMillisecond);

void BM_PhaseFinish1280x1024(benchmark::State& state) { RunTimed(state, 15); }
BENCHMARK(BM_PhaseFinish1280x1024)->Unit(benchmark::kMillisecond);

// 21 ticks of a step timer on the event loop, in real time: 1.05 s.
void BM_StepTimer21Ticks(benchmark::State& state)
{
    constexpr int kId = 11, kTicks = 21;
    for (auto _ : state) {
        QEventLoop loop;
        int ticks = 0;
        WindowTimers timers([&](int id) {
            if (++ticks == kTicks) {
                FollowSequenceTimer(timers, id, 0, 50);
                loop.quit();
            }
        });
        QElapsedTimer elapsed;
        elapsed.start();
        timers.SetTimer(kId, 50);
        loop.exec();
        state.SetIterationTime(double(elapsed.nsecsElapsed()) * 1e-9);
    }
}
BENCHMARK(BM_StepTimer21Ticks)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

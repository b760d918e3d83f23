// The workbench on the optical bench: a camera document of 320 x 240 on a
// live source whose frames the interferometer renders, the instruments'
// simulators moving its fringes, and the page's and the view's timers fired
// by hand in virtual time.
#pragma once

#include <chrono>
#include <functional>

#include <QTabBar>

#include "bench_grabber.h"
#include "metrology/instruments/tests/instrument_bench.h"
#include "tests/support/scoped_setting.h"
#include "workbench/analysis/tests/analysis_fixture.h"
#include "workbench/phase/instrument_pages.h"
#include "workbench/phase/phase_acq_dlg.h"

class PhaseBenchTest : public AnalysisTest {
protected:
    static constexpr int kWidth = 320, kHeight = 240;

    void SetUp() override
    {
        AnalysisTest::SetUp();
        app->m_nSource = SourceUsbCameraLarge;
        app->FillSizeTable(app->m_nSource);
        app->m_nDefaultWidth = kWidth;
        app->m_nDefaultHeight = kHeight;
        app->Live().SetGrabbers(grabber);
        camera = app->NewImageDocument(kWidth, kHeight);
    }

    void TearDown() override
    {
        dialog.reset();
        AnalysisTest::TearDown();
    }

    // The dialog on the tab of `tab`, and its page.
    template <class Page> Page* Open(int tab)
    {
        PlugSupplyUnlessPlugged();
        dialog = std::make_unique<CPhaseAcqDlg>(app.get(), bench.clock);
        dialog->Tabs()->setCurrentIndex(tab);
        auto* page = qobject_cast<Page*>(dialog->Page());
        EXPECT_NE(page, nullptr);
        return page;
    }

    // The dialog opens on the piezo page, which opens COM1: the bench has its
    // supply there even when the run uses another instrument.
    void PlugSupplyUnlessPlugged()
    {
        if (bench.supplies.empty())
            bench.Plug(0);
    }

    // The camera view's live timers that run fire once.
    void FireLiveTimers()
    {
        for (int id : {98, 99})
            if (static_cast<CFraloView*>(camera->m_pView)->IsTimerActive(id))
                static_cast<CFraloView*>(camera->m_pView)->OnTimer(id);
    }

    // One tick of the page's timer (50 ms, or a move's tick), and the view's
    // live timers at each 50 ms.
    void Tick(CPhasePage& page)
    {
        if (liveDueMs <= 0) {
            FireLiveTimers();
            liveDueMs += 50;
        }
        const int timer = page.Sequence() ? page.Sequence()->Timer() : 0;
        if (timer && page.IsTimerActive(timer))
            page.OnTimer(timer);
        // The time to the next tick of the timer that now runs.
        const acquisition::FourFrameSequence* run = page.Sequence();
        const int ms = run && run->Timer() ? run->TimerMs() : 50;
        bench.clock.time.Advance(std::chrono::milliseconds(ms));
        liveDueMs -= ms;
    }

    // "&Acquisition", then ticks until the run ends (or `ticks` of them).
    void Run(CPhasePage& page, int ticks = 10000)
    {
        Control<QPushButton>(page, CPhasePage::IDC_ACQUIRE)->click();
        for (int tick = 0; tick < ticks && page.Sequence() && page.Sequence()->Timer(); ++tick)
            Tick(page);
    }

    // Acquisitions save their pictures in the working folder.
    ScopedCurrentFolder folder{dir.path().toStdString()};
    instruments::testing::InstrumentBench bench;
    std::function<double()> shift = [] { return 0.0; };
    optical_bench::Interferometer optics{kWidth, kHeight, [this] { return shift(); }};
    BenchGrabber grabber{optics};
    CFraloDoc* camera = nullptr;
    std::unique_ptr<CPhaseAcqDlg> dialog;
    int liveDueMs = 0;
};

// The switch that starts the workbench on the simulated optical bench: with
// ONDULA_OPTICAL_BENCH set and not empty, the bench's instruments run for the
// program's life (the card and the stepper on the bus, the supply on COM1,
// the bench camera in place of the kdLyra cameras), and the projector page's
// patterns go to the bench.
#pragma once

#include <memory>

#include "workbench/faces/bench_projector.h"
#include <optical_bench/rig.h>

class WorkbenchSettings;

class OpticalBenchSession final : public BenchProjector {
public:
    // The rig of `options`; patterns have `app`'s default size, which the
    // projector page gives its camera document.
    OpticalBenchSession(const WorkbenchSettings& app, const optical_bench::Rig::Options& options);
    ~OpticalBenchSession() override;

    void Project(const std::uint8_t* pattern, int period) override;
    // The projector goes dark: the camera sees the interferometer again.
    void Hide() override;
    optical_bench::Rig& Rig() { return m_rig; }

private:
    const WorkbenchSettings& m_app;
    optical_bench::Rig m_rig;
};

// The bench when the switch is set, its supply of `app`'s model and full
// scale; else null, and nothing of the bench is started.
std::unique_ptr<OpticalBenchSession> StartOpticalBenchWhenAsked(const WorkbenchSettings& app);

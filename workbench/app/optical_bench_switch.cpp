#include "optical_bench_switch.h"

#include <cstdlib>

#include "workbench/faces/workbench_settings.h"
#include <optical_bench/scene.h>

OpticalBenchSession::OpticalBenchSession(const WorkbenchSettings& app,
                                         const optical_bench::Rig::Options& options)
    : m_app(app), m_rig(options)
{
}

OpticalBenchSession::~OpticalBenchSession() { Hide(); }

void OpticalBenchSession::Project(const std::uint8_t* pattern, int period)
{
    optical_bench::ShowPattern(pattern, m_app.m_nDefaultWidth, m_app.m_nDefaultHeight, period);
}

void OpticalBenchSession::Hide() { optical_bench::HidePattern(); }

std::unique_ptr<OpticalBenchSession> StartOpticalBenchWhenAsked(const WorkbenchSettings& app)
{
    const char* asked = std::getenv("ONDULA_OPTICAL_BENCH");
    if (!asked || !*asked)
        return nullptr;
    return std::make_unique<OpticalBenchSession>(
        app,
        optical_bench::Rig::Options{.supplyModel = app.m_nSupplyModel,
                                    .fullScale = double(app.m_nSupplyFullScale),
                                    .cameraFolder = optical_bench::CameraFolderBesideProgram()});
}

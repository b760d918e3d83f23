// The bus itself, the module functions and the simulation's controls.
#include "bus.h"

#include <base/env_list.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace fgcam {

namespace {

constexpr uint64_t kFileTimeAtUnixEpoch = 116444736000000000ull;

// FILETIME of steady-clock time 0, so that steady stamps read as real UTC.
uint64_t SteadyFileTimeAtZero()
{
    const auto wall =
        std::chrono::duration_cast<Duration>(std::chrono::system_clock::now().time_since_epoch());
    return kFileTimeAtUnixEpoch + uint64_t((wall - ondula::SteadyClock().Now()).count() / 100);
}

} // namespace

Bus& TheBus()
{
    // Never destroyed: plug-ins end the module while the process ends.
    static Bus* bus = [] {
        auto* made = new Bus;
        made->clock = &ondula::SteadyClock();
        made->filetime_at_zero = SteadyFileTimeAtZero();
        return made;
    }();
    return *bus;
}

uint32_t Bus::Fault(fgsim::Call call)
{
    const auto it = faults.find(call);
    if (it == faults.end())
        return FCE_NOERROR;
    uint32_t code = FCE_NOERROR;
    auto& pending = it->second;
    for (auto& [calls_to_go, fault_code] : pending)
        if (--calls_to_go == 0 && code == FCE_NOERROR)
            code = fault_code;
    std::erase_if(pending, [](const auto& fault) { return fault.first <= 0; });
    return code;
}

FILETIME FileTimeAt(const Bus& bus, Duration moment)
{
    const uint64_t ticks = bus.filetime_at_zero + uint64_t(moment.count() / 100);
    return {uint32_t(ticks), uint32_t(ticks >> 32)};
}

std::vector<fgsim::CameraConfig> CamerasFromEnvironment()
{
    std::vector<fgsim::CameraConfig> cameras;
    const char* value = std::getenv("ONDULA_FGCAMERA");
    ondula::take_list_entries("ONDULA_FGCAMERA", value ? value : "mono,colour",
                              [&](const std::string& kind) {
                                  const int index = int(cameras.size());
                                  if (kind == "mono")
                                      cameras.push_back(fgsim::MonoCamera(index));
                                  else if (kind == "colour")
                                      cameras.push_back(fgsim::ColourCamera(index));
                                  else
                                      return false;
                                  return true;
                              });
    return cameras;
}

} // namespace fgcam

using namespace fgcam;

extern "C" {

uint32_t FGInitModule(const void* reserved)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (const uint32_t fault = bus.Fault(fgsim::Call::InitModule))
        return fault;
    if (reserved)
        return FCE_BADPARAMETER;
    if (!bus.configured) {
        ResetCameras(bus, CamerasFromEnvironment());
        bus.configured = true;
    }
    ++bus.module_users;
    return FCE_NOERROR;
}

uint32_t FGExitModule()
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (bus.module_users == 0)
        return FCE_NOTINITIALIZED;
    if (--bus.module_users == 0) {
        for (Camera& camera : bus.cameras) {
            CloseCapture(camera);
            camera.connected = false;
        }
        ++bus.generation;
    }
    return FCE_NOERROR;
}

uint32_t FGGetNodeList(FGNODEINFO* nodes, uint32_t capacity, uint32_t* count)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (const uint32_t fault = bus.Fault(fgsim::Call::GetNodeList))
        return fault;
    if (bus.module_users == 0)
        return FCE_NOTINITIALIZED;
    if (!count || (!nodes && capacity > 0))
        return FCE_BADPARAMETER;
    const uint32_t n = std::min<uint32_t>(capacity, uint32_t(bus.cameras.size()));
    for (uint32_t i = 0; i < n; ++i) {
        const Camera& camera = bus.cameras[i];
        nodes[i] = {camera.config.guid, camera.config.card, camera.config.node,
                    uint8_t(camera.connected ? 1 : 0)};
    }
    *count = n;
    return FCE_NOERROR;
}

} // extern "C"

ondula::Clock& FGClock()
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    return *bus.clock;
}

FILETIME FGFileTime(ondula::Clock::Duration moment)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    return FileTimeAt(bus, moment);
}

namespace fgsim {

void Configure(const std::vector<CameraConfig>& cameras)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    ResetCameras(bus, cameras);
    bus.configured = true;
    bus.module_users = 0;
    bus.faults.clear();
    bus.connects = 0;
    bus.captures = 0;
    ++bus.generation;
}

void ConfigureFromEnvironment()
{
    Configure({});
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    bus.configured = false;
}

void UseClock(ondula::Clock& clock, uint64_t filetime_at_zero)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    bus.clock = &clock;
    bus.filetime_at_zero = filetime_at_zero;
}

void UseSteadyClock() { UseClock(ondula::SteadyClock(), SteadyFileTimeAtZero()); }

void FailCall(Call call, int nth, uint32_t code)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (nth > 0)
        bus.faults[call].push_back({nth, code});
}

void SetDelivering(int camera, bool delivering)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (camera >= 0 && camera < int(bus.cameras.size()))
        bus.cameras[camera].delivering = delivering;
}

void ReportParameter(int camera, uint16_t id, uint32_t value)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (camera >= 0 && camera < int(bus.cameras.size()))
        bus.cameras[camera].reported[id] = value;
}

Counters Count()
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    Counters counters{bus.module_users, 0, 0, 0, 0, bus.connects, bus.captures};
    for (const Camera& camera : bus.cameras) {
        counters.connected += camera.connected;
        counters.capturing += camera.capture_open;
        counters.buffers += int(camera.buffers.size());
        counters.queued += int(camera.queue.size());
    }
    return counters;
}

std::vector<uint32_t> FormatRequests(int camera)
{
    Bus& bus = TheBus();
    std::lock_guard guard(bus.lock);
    if (camera < 0 || camera >= int(bus.cameras.size()))
        return {};
    return bus.cameras[camera].requests;
}

} // namespace fgsim

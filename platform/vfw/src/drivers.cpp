#include <cstdlib>
#include <cstring>
#include <mutex>

#include <vfw/capture_driver.h>
#include <vfw/simulated_webcam.h>
#include <vfw/v4l2_driver.h>

namespace vfw {

namespace {

struct Factory {
    std::mutex lock;
    DriverFactory make;
};

Factory& TheFactory()
{
    static Factory factory;
    return factory;
}

bool SimulatedForced()
{
    const char* value = std::getenv("ONDULA_VFW_SIMULATED");
    return value && *value && std::strcmp(value, "0") != 0;
}

std::unique_ptr<CaptureDriver> DefaultDriver(int index)
{
    if (index != 0)
        return nullptr;
    if (!SimulatedForced())
        if (auto camera = OpenV4l2Driver(LibV4l2Calls()))
            return camera;
    return std::make_unique<SimulatedWebcam>();
}

} // namespace

std::unique_ptr<CaptureDriver> OpenDriver(int index)
{
    DriverFactory make;
    {
        std::lock_guard guard(TheFactory().lock);
        make = TheFactory().make;
    }
    return make ? make(index) : DefaultDriver(index);
}

void SetDriverFactory(DriverFactory factory)
{
    std::lock_guard guard(TheFactory().lock);
    TheFactory().make = std::move(factory);
}

} // namespace vfw

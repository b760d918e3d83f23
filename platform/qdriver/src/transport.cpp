#include <qdriver/transport.h>

#include <cstdlib>
#include <mutex>

#include <qdriver/c832_card.h>
#include <qdriver/device_keys.h>
#include <qdriver/stepper_motor.h>

namespace qdriver {
namespace {

std::mutex driverMutex;
std::shared_ptr<Driver> currentDriver;
thread_local win32::Status lastError = win32::kSuccess;

constexpr uint32_t kParallelPortBase = 0x378;
constexpr uint32_t kParallelPortRegisters = 3;
constexpr uint32_t kC832Base = 0x210;
constexpr uint32_t kC832Ports = 4;
// Set (to anything) to leave the C-832 card's slot empty.
constexpr const char* kNoC832Variable = "ONDULA_NO_C832";

std::shared_ptr<Driver> MakeSystemDriver()
{
    return std::make_shared<Driver>(SystemDriverOptions(
        std::make_shared<StepperMotor>(ondula::SteadyClock()),
        std::getenv(kNoC832Variable) ? nullptr
                                     : std::make_shared<C832Card>(ondula::SteadyClock())));
}

bool Report(win32::Status status)
{
    if (status != win32::kSuccess)
        lastError = status;
    return status == win32::kSuccess;
}

} // namespace

DriverOptions SystemDriverOptions(std::shared_ptr<StepperMotor> stepper,
                                  std::shared_ptr<C832Card> card)
{
    DriverOptions options;
    options.registry = registry::System();
    options.platformId = wire::kPlatformNt;
    options.bus->Attach(kParallelPortBase, kParallelPortRegisters, std::move(stepper));
    if (card)
        options.bus->Attach(kC832Base, kC832Ports, std::move(card));
    options.systemResources = {{Resource::Ports, kParallelPortBase, 8}, {Resource::Interrupt, 7}};
    ProvisionWorkbenchDevices(*options.registry, options.platformId);
    return options;
}

std::shared_ptr<Driver> CurrentDriver()
{
    std::lock_guard lock(driverMutex);
    if (!currentDriver)
        currentDriver = MakeSystemDriver();
    return currentDriver;
}

void UseDriver(std::shared_ptr<Driver> driver)
{
    std::lock_guard lock(driverMutex);
    currentDriver = std::move(driver);
}

Handle OpenDevice(std::string_view path, uint32_t flags)
{
    win32::Status error = win32::kSuccess;
    Handle handle = CurrentDriver()->Open(path, flags, &error);
    Report(error);
    return handle;
}

bool DeviceControl(Handle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                   uint32_t outLength, uint32_t* returned)
{
    uint32_t ignored = 0;
    return Report(CurrentDriver()->Control(handle, code, in, inLength, out, outLength,
                                           returned ? returned : &ignored));
}

bool DeviceControlAsync(Handle handle, uint32_t code, const void* in, uint32_t inLength, void* out,
                        uint32_t outLength, uint32_t* returned, Completion done)
{
    uint32_t ignored = 0;
    return Report(CurrentDriver()->Submit(handle, code, in, inLength, out, outLength,
                                          returned ? returned : &ignored, std::move(done)));
}

bool CancelRequests(Handle handle) { return Report(CurrentDriver()->Cancel(handle)); }

bool CloseDevice(Handle handle) { return Report(CurrentDriver()->Close(handle)); }

win32::Status LastError() { return lastError; }

void SetLastError(win32::Status error) { lastError = error; }

int PlatformId() { return CurrentDriver()->PlatformId(); }

} // namespace qdriver

// A simulated machine for instrument tests: virtual time, a driver with the
// C-832 card and the stepper motor on its bus, piezo supplies on
// pseudo-terminals, and the instruments' messages recorded.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "metrology/instruments/message_sink.h"
#include "tests/support/scoped_setting.h"
#include <clock/clock.h>
#include <piezo_supply/supply_simulator.h>
#include <qdriver/c832_card.h>
#include <qdriver/device_keys.h>
#include <qdriver/stepper_motor.h>
#include <qdriver/transport.h>

namespace instruments::testing {

// Virtual time in which every sleep first lets the supplies answer what they
// were sent, so that flow control acts at the moment it would on a wire.
class ServicedClock final : public ondula::Clock {
public:
    Duration Now() const override { return time.Now(); }
    void SleepFor(Duration d) override
    {
        for (auto* supply : supplies)
            supply->Service();
        time.Advance(d);
    }

    ondula::VirtualClock time;
    std::vector<piezo_supply::SupplySimulator*> supplies;
};

struct BenchOptions {
    int platformId = qdriver::wire::kPlatformNt;
    // Devices whose configuration is removed before the driver starts.
    std::vector<std::string> unconfigured;
};

class InstrumentBench {
public:
    explicit InstrumentBench(BenchOptions options = {})
    {
        registry::UseSystem(keys);
        qdriver::ProvisionWorkbenchDevices(*keys, options.platformId);
        const std::string parent = qdriver::DeviceParentPath(options.platformId) + "\\";
        for (const auto& name : options.unconfigured)
            keys->DeleteKey(registry::kLocalMachine, parent + name);
        bus->Attach(0x378, 3, stepper);
        bus->Attach(0x210, 4, card);
        driver = std::make_shared<qdriver::Driver>(
            qdriver::DriverOptions{keys, bus, options.platformId, {}});
        qdriver::UseDriver(driver);
    }
    ~InstrumentBench()
    {
        qdriver::UseDriver(nullptr);
        registry::UseSystem(nullptr);
    }

    MessageSink Sink()
    {
        return [this](const std::string& text) { messages.push_back(text); };
    }

    // A supply on COM1 (index 0) or COM2 (index 1), serviced by the clock.
    piezo_supply::SupplySimulator& Plug(int portIndex, piezo_supply::SupplyOptions options = {})
    {
        supplies.push_back(std::make_unique<piezo_supply::SupplySimulator>(clock, options));
        clock.supplies.push_back(supplies.back().get());
        ports[portIndex].Set(supplies.back()->Path().c_str());
        return *supplies.back();
    }

    // Requests the driver served to the device's ports.
    size_t PortRequests() const
    {
        size_t count = 0;
        for (const auto& request : driver->Log())
            count += request.code == qdriver::wire::kExecuteQueue;
        return count;
    }

    // COM1 and COM2. Nothing plugged: they lead nowhere, never to the
    // machine's own serial ports (which parallel tests would fight over).
    ScopedVariable ports[2] = {{"ONDULA_COM1", "/nonexistent/ondula-COM1"},
                               {"ONDULA_COM2", "/nonexistent/ondula-COM2"}};
    ServicedClock clock;
    std::shared_ptr<registry::Registry> keys = registry::Registry::InMemory();
    std::shared_ptr<qdriver::IoBus> bus = std::make_shared<qdriver::IoBus>();
    std::shared_ptr<qdriver::C832Card> card =
        std::make_shared<qdriver::C832Card>(clock, &clock.time);
    std::shared_ptr<qdriver::StepperMotor> stepper = std::make_shared<qdriver::StepperMotor>(clock);
    std::shared_ptr<qdriver::Driver> driver;
    std::vector<std::unique_ptr<piezo_supply::SupplySimulator>> supplies;
    std::vector<std::string> messages;
};

} // namespace instruments::testing

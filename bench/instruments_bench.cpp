// The instruments on their simulated devices, in real time: a position read
// and an initialisation of the C-832 stage through the hardware access
// library, and a full-scale set-point to a supply on a pseudo-terminal.
#include <benchmark/benchmark.h>

#include <atomic>
#include <poll.h>
#include <thread>

#include "metrology/instruments/c832_controller.h"
#include "metrology/instruments/serial_port.h"
#include "metrology/instruments/stage.h"
#include <piezo_supply/supply_simulator.h>
#include <qdriver/c832_card.h>
#include <qdriver/device_keys.h>
#include <qdriver/transport.h>

namespace {

const instruments::MessageSink kQuiet = [](const std::string&) {};

// A driver over an in-memory registry with the card at 0x210.
class CardMachine {
public:
    CardMachine()
    {
        registry::UseSystem(keys_);
        qdriver::ProvisionWorkbenchDevices(*keys_, qdriver::wire::kPlatformNt);
        auto bus = std::make_shared<qdriver::IoBus>();
        bus->Attach(0x210, 4, card);
        qdriver::UseDriver(std::make_shared<qdriver::Driver>(
            qdriver::DriverOptions{keys_, bus, qdriver::wire::kPlatformNt, {}}));
    }
    ~CardMachine()
    {
        qdriver::UseDriver(nullptr);
        registry::UseSystem(nullptr);
    }
    std::shared_ptr<qdriver::C832Card> card =
        std::make_shared<qdriver::C832Card>(ondula::SteadyClock());

private:
    std::shared_ptr<registry::Registry> keys_ = registry::Registry::InMemory();
};

void BM_C832GetPosition(benchmark::State& state)
{
    CardMachine machine;
    instruments::CC832Controller c832(instruments::kStageCountsPerMm, ondula::SteadyClock(),
                                      kQuiet);
    machine.card->SetPosition(1, 360000);
    for (auto _ : state)
        benchmark::DoNotOptimize(c832.GetPosition(1));
}
BENCHMARK(BM_C832GetPosition)->Unit(benchmark::kMicrosecond);

void BM_C832InitAxes(benchmark::State& state)
{
    CardMachine machine;
    instruments::CC832Controller c832(instruments::kStageCountsPerMm, ondula::SteadyClock(),
                                      kQuiet);
    for (auto _ : state)
        c832.InitAxes(1);
}
BENCHMARK(BM_C832InitAxes)->Unit(benchmark::kMicrosecond);

void BM_SendFullScaleSetpoint(benchmark::State& state)
{
    piezo_supply::SupplySimulator supply(ondula::SteadyClock(), {});
    setenv("ONDULA_COM1", supply.Path().c_str(), 1);
    std::atomic<bool> stop = false;
    std::thread service([&] {
        while (!stop) {
            pollfd wait{supply.Fd(), POLLIN | POLLPRI, 0};
            ::poll(&wait, 1, 5);
            supply.Service();
        }
    });
    {
        instruments::CSerialPort port(0, 0, ondula::SteadyClock(), kQuiet);
        for (auto _ : state)
            port.SendSetpoint(1023);
    }
    stop = true;
    service.join();
    state.counters["received"] = double(supply.Setpoints().size());
}
BENCHMARK(BM_SendFullScaleSetpoint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(3);

} // namespace

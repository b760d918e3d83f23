// Runs a simulated piezo supply on a pseudo-terminal until interrupted, and
// prints each set-point it receives.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <piezo_supply/supply_simulator.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

int Usage()
{
    std::fprintf(stderr, "usage: ondula_piezo_supply [--model 0|1] [--xoff MS] [--dead]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    piezo_supply::SupplyOptions options;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--model") && i + 1 < argc) {
            options.model = std::atoi(argv[++i]) ? 1 : 0;
        } else if (!std::strcmp(argv[i], "--xoff") && i + 1 < argc) {
            options.flow = piezo_supply::Flow::XoffPerLine;
            options.holdTime = std::chrono::milliseconds(std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--dead")) {
            options.flow = piezo_supply::Flow::Dead;
        } else {
            return Usage();
        }
    }
    options.fullScale = options.model == 0 ? 500 : 100;

    piezo_supply::SupplySimulator supply(ondula::SteadyClock(), options);
    if (supply.Path().empty()) {
        std::perror("ondula_piezo_supply: pseudo-terminal");
        return 1;
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::printf("piezo supply (model %d, %.0f V) on %s\n", options.model, options.fullScale,
                supply.Path().c_str());
    std::fflush(stdout);

    while (!stopRequested) {
        supply.WaitForInput(20);
        supply.Service();
        for (const auto& s : supply.Setpoints())
            std::printf("set-point %4d: %.1f V\n", s.value, s.volts);
        for (const auto& error : supply.Errors())
            std::printf("error: %s\n", error.c_str());
        supply.ForgetHistory();
        std::fflush(stdout);
    }
    return 0;
}

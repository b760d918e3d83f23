#include <optical_bench/rig.h>

#include <cstdlib>
#include <filesystem>

#include <optical_bench/scene.h>
#include <qdriver/transport.h>

namespace optical_bench {
namespace {

// How long the supply's thread waits for the line before it looks whether it
// must stop.
constexpr int kServePollMs = 20;

std::string PluginPathWith(const std::string& folder)
{
    const char* path = std::getenv("ONDULA_PLUGIN_PATH");
    return path && *path ? folder + ":" + path : folder;
}

} // namespace

std::string CameraFolderBesideProgram()
{
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : (program.parent_path() / "optical_bench").string();
}

class Rig::Variable {
public:
    Variable(const char* name, const std::string& value) : name_(name)
    {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        old_ = old ? old : "";
        setenv(name, value.c_str(), 1);
    }
    ~Variable()
    {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    std::string old_;
};

Rig::Rig(const Options& options)
    : stepper_(std::make_shared<qdriver::StepperMotor>(ondula::SteadyClock())),
      card_(std::make_shared<qdriver::C832Card>(ondula::SteadyClock())),
      supply_(ondula::SteadyClock(),
              {.model = options.supplyModel, .fullScale = options.fullScale}),
      pluginPath_(
          std::make_unique<Variable>("ONDULA_PLUGIN_PATH", PluginPathWith(options.cameraFolder)))
{
    qdriver::UseDriver(
        std::make_shared<qdriver::Driver>(qdriver::SystemDriverOptions(stepper_, card_)));
    if (!supply_.Path().empty()) {
        com1_ = std::make_unique<Variable>("ONDULA_COM1", supply_.Path());
        server_ = std::jthread([this](std::stop_token stop) { Serve(stop); });
    }
    SetSceneShift([this] { return Shift(); });
}

Rig::~Rig()
{
    SetSceneShift(nullptr);
    HidePattern();
    server_ = {};
    qdriver::UseDriver(nullptr);
}

void Rig::Serve(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        supply_.WaitForInput(kServePollMs);
        std::lock_guard lock(supplyMutex_);
        supply_.Service();
        supply_.ForgetHistory();
    }
}

double Rig::SupplyVolts() const
{
    std::lock_guard lock(supplyMutex_);
    return supply_.Voltage();
}

double Rig::Shift() const
{
    return PiezoFringes(SupplyVolts()) + StageFringes(card_->Position(1) / kStageCountsPerMm) +
           StepperFringes(stepper_->Position());
}

} // namespace optical_bench

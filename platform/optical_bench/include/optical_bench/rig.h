#pragma once
// The optical bench's instruments in this process: the C-832 card and the
// stepper motor on the simulated bus, a piezo supply on a pseudo-terminal
// that COM1 leads to, served by a thread of its own, and the bench camera's
// plug-in folder ahead of the others. The scene's fringes follow the supply's
// voltage, axis 1 of the card and the stepper's steps. The rig undoes all of
// it when it goes: the driver, the variables, the scene and the thread.
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <piezo_supply/supply_simulator.h>
#include <qdriver/c832_card.h>
#include <qdriver/stepper_motor.h>

namespace optical_bench {

// The card's encoder counts in a millimetre of axis 1.
inline constexpr double kStageCountsPerMm = 120000;

// The folder beside the running program that holds the bench camera, a
// plug-in that stands in for the kdLyra cameras' interface.
std::string CameraFolderBesideProgram();

class Rig {
public:
    struct Options {
        int supplyModel = 0;    // the supply's line settings (piezo_supply::SupplyOptions)
        double fullScale = 500; // volts at set-point 1023
        std::string cameraFolder;
    };

    explicit Rig(const Options& options);
    ~Rig();
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // The supply's device, which COM1 names; empty when no pseudo-terminal
    // could be made (COM1 is then left alone).
    const std::string& SupplyPath() const { return supply_.Path(); }
    double SupplyVolts() const;
    qdriver::C832Card& Card() { return *card_; }
    qdriver::StepperMotor& Stepper() { return *stepper_; }
    // The fringes the three instruments shift by now.
    double Shift() const;

private:
    // A variable of the environment set for the rig's life, then restored.
    class Variable;

    void Serve(std::stop_token stop);

    std::shared_ptr<qdriver::StepperMotor> stepper_;
    std::shared_ptr<qdriver::C832Card> card_;
    mutable std::mutex supplyMutex_;
    piezo_supply::SupplySimulator supply_;
    std::unique_ptr<Variable> pluginPath_;
    std::unique_ptr<Variable> com1_;
    std::jthread server_;
};

} // namespace optical_bench

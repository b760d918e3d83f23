// The piezo supply as the phase-shift instrument: four set-points of the
// supply's 0..1023 range a quarter fringe apart, sent over the serial line.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "metrology/instruments/message_sink.h"
#include "sequence_ports.h"
#include <clock/clock.h>

namespace instruments {
class CSerialPort;
}

namespace acquisition {

using Setpoints = std::array<std::int16_t, 4>;
using Voltages = std::array<float, 4>;

// The volts of `setpoint` on a supply of `fullScale` volts: setpoint x
// fullScale / 1023, as a float.
float SetpointVolts(int setpoint, int fullScale);

// "%1.1f" of the volts of `setpoint`: the text of its edit.
std::string SetpointText(int setpoint, int fullScale);

// A voltage as read from its edit: the volts typed, and the set-point the
// edit shows while its text is still that set-point's (-1 once edited).
struct TypedVoltage {
    float volts = 0;
    int kept = -1;
};
using TypedVoltages = std::array<TypedVoltage, 4>;

// The set-points of U1..U4 as typed, with FS the full scale: U1 in 0..FS - 5,
// U2 at least 1, at most FS - 4 and at least U1 + 1 when below U1, U3 and U4
// likewise (2, FS - 3, 3, FS - 2); each set-point trunc(U / FS x 1023). A
// voltage left as shown is its set-point's exact voltage, and keeps that
// set-point unless a rule moves it: a value shown with one decimal is not
// walked down a count at each reading.
Setpoints ValidateVoltages(const TypedVoltages& typed, int fullScale);

class PiezoSteps final : public PhaseInstrument {
public:
    // Opens COM1 (index 0) or COM2 (1) for supply `model`; the channel's
    // messages go to `messages`, and the last one becomes the fault.
    // `sliderPos` receives every set-point sent.
    PiezoSteps(int portIndex, int model, std::int16_t& sliderPos, ondula::Clock& clock,
               instruments::MessageSink messages);
    ~PiezoSteps() override;

    // The set-points of steps 1..4 on a supply of `fullScale` volts.
    void SetSetpoints(const Setpoints& setpoints, int fullScale);

    // Set-point 0: "U(V): 0 (0/1023)".
    std::string Rest() override;
    // Set-point k: "U(V): %1.1f (%d/1023)".
    std::string Step(int k) override;
    std::string Return() override { return Rest(); }
    std::string Fault() const override { return m_strFault; }

private:
    void Send(std::int16_t setpoint);

    std::string m_strFault;
    std::unique_ptr<instruments::CSerialPort> m_pPort;
    std::int16_t& m_nSliderPos;
    Setpoints m_setpoints{};
    int m_nFullScale = 500;
};

} // namespace acquisition

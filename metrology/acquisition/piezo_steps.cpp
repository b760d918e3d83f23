#include "piezo_steps.h"

#include <cmath>

#include "metrology/instruments/serial_port.h"
#include "sequence_texts.h"

namespace acquisition {

float SetpointVolts(int setpoint, int fullScale)
{
    return float(setpoint * fullScale * 0.0009775171065493646);
}

std::string SetpointText(int setpoint, int fullScale)
{
    return Printf("%1.1f", double(SetpointVolts(setpoint, fullScale)));
}

Setpoints ValidateVoltages(const TypedVoltages& typed, int fullScale)
{
    const float fs = float(fullScale);
    Voltages u{};
    Setpoints setpoints{};
    for (int k = 0; k < 4; ++k) {
        const int kept = typed[k].kept;
        u[k] = kept >= 0 ? SetpointVolts(kept, fullScale) : typed[k].volts;
        const float read = u[k];
        // Each voltage keeps room for the ones above it and stays above the one below.
        if (u[k] < float(k))
            u[k] = float(k);
        if (u[k] > fs - float(5 - k))
            u[k] = fs - float(5 - k);
        if (k > 0 && u[k] < u[k - 1])
            u[k] = u[k - 1] + 1;
        setpoints[k] = kept >= 0 && u[k] == read ? std::int16_t(kept)
                                                 : std::int16_t(std::trunc(u[k] / fs * 1023));
    }
    return setpoints;
}

PiezoSteps::PiezoSteps(int portIndex, int model, std::int16_t& sliderPos, ondula::Clock& clock,
                       instruments::MessageSink messages)
    : m_nSliderPos(sliderPos)
{
    m_pPort = std::make_unique<instruments::CSerialPort>(portIndex, model, clock,
                                                         [this, messages](const std::string& text) {
                                                             m_strFault = text;
                                                             if (messages)
                                                                 messages(text);
                                                         });
}

PiezoSteps::~PiezoSteps() = default;

void PiezoSteps::SetSetpoints(const Setpoints& setpoints, int fullScale)
{
    m_setpoints = setpoints;
    m_nFullScale = fullScale;
}

void PiezoSteps::Send(std::int16_t setpoint)
{
    m_nSliderPos = setpoint;
    m_pPort->SendSetpoint(setpoint);
}

std::string PiezoSteps::Rest()
{
    Send(0);
    return Printf("U(V): %d (%d/1023)", 0, 0);
}

std::string PiezoSteps::Step(int k)
{
    const std::int16_t setpoint = m_setpoints[k - 1];
    Send(setpoint);
    return Printf("U(V): %1.1f (%d/1023)", double(SetpointVolts(setpoint, m_nFullScale)),
                  int(setpoint));
}

} // namespace acquisition

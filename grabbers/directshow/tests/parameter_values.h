#pragma once
// Values handed to FGSetParam, answers of FGGetParam as text, and what a
// simulated device holds now.
#include <string>
#include <vector>

#include "dshow/sim_devices.h"
#include "fgint/plugin_driver.h"

using fg::Int;
using fg::Real;
using fg::Text;

inline dshow::sim::DeviceConfig ConfigOf(int device)
{
    dshow::sim::DeviceConfig config;
    dshow::sim::ConfigureDevice(device, [&](dshow::sim::DeviceConfig& c) { config = c; });
    return config;
}

// A capture card whose crossbar is fed by a second crossbar (composite and
// RGB inputs, into its composite input) and by a TV tuner on channel 7.
inline dshow::sim::DeviceConfig CardWithTunerAndSecondCrossbar()
{
    dshow::sim::DeviceConfig card = dshow::sim::SimulatedCaptureCard();
    card.second_crossbar_inputs = {dshow::PhysConn_Video_Composite, dshow::PhysConn_Video_RGB};
    card.second_crossbar_feeds = 1;
    card.tuner = dshow::sim::TvTuner{1, 69, 7};
    card.pump = true;
    return card;
}

// The answer to a get as text: integers, reals and strings separated by commas.
inline std::string Get(FGClass& cls, FGInstance* inst, const char* name, FGstatus* status = nullptr)
{
    std::vector<Vcpar> values(600);
    int32_t num = int32_t(values.size());
    const FGstatus result = cls.FGGetParam(1, inst, name, values.data(), &num);
    if (status)
        *status = result;
    std::string text;
    for (int i = 0; i < num && result == FG_SUCCESS; ++i) {
        if (i)
            text += ",";
        if (values[i].type == VPAR_INT)
            text += std::to_string(values[i].par.l);
        else if (values[i].type == VPAR_REAL)
            text += std::to_string(values[i].par.f);
        else
            text += values[i].par.s;
    }
    return text;
}

// Sequence ports that record what the sequence does, tick by tick.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "metrology/acquisition/sequence_ports.h"

namespace acquisition::testing {

class Recorder final : public PhaseInstrument,
                       public LiveAcquisition,
                       public FrameSource,
                       public SequenceView {
public:
    explicit Recorder(int pixels) : pixels(pixels) { }

    std::string Rest() override { return Move("rest"); }
    std::string Step(int k) override { return Move("step " + std::to_string(k)); }
    std::string Return() override { return Move("return"); }
    bool Moving() const override { return moveTicksLeft > 0; }
    void MoveTick() override { --moveTicksLeft; }
    int MoveTickMs() const override { return 20; }
    std::string Broken() const override { return broken; }
    std::string Fault() const override { return fault; }

    bool Start() override
    {
        Log("start");
        running = starts && !lostAhead;
        return starts;
    }
    void Stop() override
    {
        Log("stop");
        running = false;
    }
    bool IsRunning() const override { return running; }

    bool Grab(std::uint8_t* plane) override
    {
        const auto& frame = frames[grabs++ % frames.size()];
        for (int i = 0; i < pixels; ++i)
            plane[i] = frame[i % frame.size()];
        return true;
    }

    void SetStatus(const std::string& text) override { status.push_back(text); }
    void ShowPlane(const std::uint8_t*, const std::string& name) override { Log("show " + name); }
    void ShowPhase(const std::uint8_t*) override { Log("phase"); }

    // An action that goes on for `moveTicks` move ticks.
    std::string Move(const std::string& event)
    {
        moveTicksLeft = moveTicks;
        return Log(event);
    }
    std::string Log(const std::string& event)
    {
        events.push_back(event);
        return "said " + event;
    }

    int pixels;
    bool starts = true;
    // Started ahead and lost since: Start answers yes, yet nothing runs.
    bool lostAhead = false;
    bool running = false;
    std::string broken;
    std::string fault;
    int grabs = 0;
    int moveTicks = 0;
    int moveTicksLeft = 0;
    std::vector<std::vector<std::uint8_t>> frames = {{0}};
    std::vector<std::string> events;
    std::vector<std::string> status;
};

} // namespace acquisition::testing

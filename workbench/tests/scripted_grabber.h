// A frame grabber for tests: each grab takes the next status of a script
// (V_OK once it is empty), gives an 8 x 8 black frame on success, and can
// run `duringGrab` first, as a tick arriving while the grabber waits.
#pragma once

#include <functional>
#include <vector>

#include <verodyn/operators.h>

#include "frame_grabber_port.h"

class ScriptedGrabber : public FrameGrabberPort {
public:
    Vstatus GrabImage(Vobject* image, long handle) override
    {
        ++grabs;
        lastHandle = handle;
        if (duringGrab)
            duringGrab();
        Vstatus status = V_OK;
        if (!results.empty()) {
            status = results.front();
            results.erase(results.begin());
        }
        if (status == V_OK)
            gen_image_const(image, "byte", 8, 8);
        return status;
    }
    void CloseAll() override { ++closes; }

    int grabs = 0;
    int closes = 0;
    long lastHandle = 0;
    std::vector<Vstatus> results;
    std::function<void()> duringGrab;
};

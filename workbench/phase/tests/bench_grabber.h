// The optical bench's camera as the workbench's frame grabber: each grab
// renders what the interferometer shows at that moment. A camera that dies
// fails every grab from then on; one that refuses does not open.
#pragma once

#include <verodyn/operators.h>

#include "workbench/core/frame_grabber_port.h"
#include <optical_bench/interferometer.h>

class BenchGrabber : public FrameGrabberPort {
public:
    explicit BenchGrabber(const optical_bench::Interferometer& optics) : m_optics(optics) { }

    Vstatus Open(const OpenTuple&, long* handle) override
    {
        if (refuses)
            return VERR_FG_IMAGE;
        *handle = 1;
        ++opens;
        return V_OK;
    }
    Vstatus GrabImage(Vobject* image, long) override
    {
        if (dead)
            return VERR_FG_IMAGE;
        std::vector<std::uint8_t> plane(std::size_t(m_optics.Width()) * m_optics.Height());
        m_optics.Render(plane.data());
        return gen_image1(image, "byte", m_optics.Width(), m_optics.Height(), plane.data());
    }
    Vstatus SetParam(long, const char*, const VTuple&) override { return V_OK; }
    Vstatus GetParam(long, const char*, VTuple*) override { return 5321; }
    Vstatus Info(const char*, const char*, VTuple*) override { return V_OK; }
    void Close(long) override { }
    void CloseAll() override { }

    bool dead = false;
    bool refuses = false;
    int opens = 0;

private:
    const optical_bench::Interferometer& m_optics;
};

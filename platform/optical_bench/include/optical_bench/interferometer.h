#pragma once
// A simulated interferometer: a known surface under a camera, whose frames
// show the fringes A + B cos(surface phase + 2 pi d) as 8-bit grey without
// clipping, d being the shift in fringes that the instrument's simulator
// gives at the moment of the grab.
#include <cstdint>
#include <functional>
#include <vector>

#define OPTICAL_BENCH_API __attribute__((visibility("default")))

namespace optical_bench {

// The phase of the known surface at (x, y) of a width x height field, in
// radians: a tilted dome of about six fringes, whatever the field's size.
OPTICAL_BENCH_API double SurfacePhase(int x, int y, int width, int height);

// The shift in fringes that each instrument gives. The piezo moves the
// mirror 2.415 nm a volt, and a fringe of 632.8 nm light is half a
// wavelength of travel; the stage gives a fringe a millimetre, the stepper a
// fringe every 8 steps.
OPTICAL_BENCH_API double PiezoFringes(double volts);
OPTICAL_BENCH_API double StageFringes(double mm);
OPTICAL_BENCH_API double StepperFringes(int steps);

class OPTICAL_BENCH_API Interferometer {
public:
    static constexpr double kMean = 128;
    static constexpr double kAmplitude = 100;

    // `shift` gives the fringes the instrument shifts by now.
    Interferometer(int width, int height, std::function<double()> shift);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A flat mirror in place of the surface (a reference run).
    void SetFlat(bool flat) { flat_ = flat; }

    // A fringe projector in place of the interferometer: the camera sees
    // `pattern` (width x height, vertical fringes of `period` pixels, a whole
    // number smaller than the width) displaced across the fringes by the
    // surface, a period per 2 pi of surface phase.
    void Project(const std::uint8_t* pattern, int period);

    // The frame the camera sees now: width x height grey bytes, row by row.
    void Render(std::uint8_t* plane) const;

private:
    void RenderProjection(std::uint8_t* plane) const;

    std::vector<std::uint8_t> pattern_;
    int period_ = 0;
    int width_;
    int height_;
    std::function<double()> shift_;
    bool flat_ = false;
};

} // namespace optical_bench

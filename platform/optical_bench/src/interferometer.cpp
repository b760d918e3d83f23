#include <optical_bench/interferometer.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace optical_bench {

namespace {
constexpr double kNmPerVolt = 2.415;
constexpr double kWavelengthNm = 632.8;
constexpr double kStepsPerFringe = 8;
} // namespace

double SurfacePhase(int x, int y, int width, int height)
{
    // The dome of a 160 x 120 field, scaled to the field.
    const double scale = width / 160.0;
    const double dx = (x - 70 * scale) / (80 * scale),
                 dy = (y - 50 * height / 120.0) / (80 * scale);
    return 2 * std::numbers::pi * (4.0 * (dx * dx + dy * dy) + 1.5 * dx + 0.7);
}

double PiezoFringes(double volts) { return volts * kNmPerVolt / (kWavelengthNm / 2); }

double StageFringes(double mm) { return mm; }

double StepperFringes(int steps) { return steps / kStepsPerFringe; }

Interferometer::Interferometer(int width, int height, std::function<double()> shift)
    : width_(width), height_(height), shift_(std::move(shift))
{
}

void Interferometer::Project(const std::uint8_t* pattern, int period)
{
    pattern_.assign(pattern, pattern + std::size_t(width_) * std::size_t(height_));
    period_ = period;
}

void Interferometer::RenderProjection(std::uint8_t* plane) const
{
    // A single column has no neighbour to displace it towards: seen as it is.
    if (width_ < 2) {
        std::copy(pattern_.begin(), pattern_.end(), plane);
        return;
    }
    // The projected fringes repeat every period, beyond the pattern's edges too.
    const double period = std::clamp(period_, 1, width_ - 1);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row = &pattern_[std::size_t(y) * width_];
        for (int x = 0; x < width_; ++x) {
            const double surface = flat_ ? 0 : SurfacePhase(x, y, width_, height_);
            double from = std::fmod(x - surface / (2 * std::numbers::pi) * period_, period);
            if (from < 0)
                from += period;
            const int left = int(from);
            const double t = from - left;
            plane[std::size_t(y) * width_ + x] =
                std::uint8_t(std::lround(row[left] * (1 - t) + row[left + 1] * t));
        }
    }
}

void Interferometer::Render(std::uint8_t* plane) const
{
    if (!pattern_.empty()) {
        RenderProjection(plane);
        return;
    }
    const double d = 2 * std::numbers::pi * shift_();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const double surface = flat_ ? 0 : SurfacePhase(x, y, width_, height_);
            plane[std::size_t(y) * width_ + x] =
                std::uint8_t(std::lround(kMean + kAmplitude * std::cos(surface + d)));
        }
}

} // namespace optical_bench

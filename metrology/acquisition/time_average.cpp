#include "time_average.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sequence_texts.h"

namespace acquisition {

namespace {
constexpr int kStepTicks = 3;
constexpr int kMaxGrey = 255;
} // namespace

int StepVolts(int step, int umax) { return umax > 0 ? step * umax / 1023 : 0; }

std::int16_t VoltsStep(int volts, int umax, std::int16_t stored)
{
    if (umax <= 0)
        return 0;
    if (volts == StepVolts(stored, umax))
        return stored;
    return std::int16_t(volts * 1023 / umax);
}

std::array<int, 4> ClampFourVolts(std::array<int, 4> u, int umax)
{
    for (int k = 0; k < 4; ++k) {
        u[k] = std::max(k, std::min(u[k], umax - (5 - k)));
        if (k > 0 && u[k] < u[k - 1])
            u[k] = u[k - 1] + 1;
    }
    return u;
}

std::array<int, 2> ClampTwoVolts(int u0, int u180, int umax)
{
    u0 = std::max(0, std::min(u0, umax - 10));
    u180 = std::min(umax, std::max(u180, 10));
    if (u0 >= u180)
        u180 = u0 + 1;
    if (u0 >= u180)
        u0 = u180 - 1;
    return {u0, u180};
}

void Modulation(const std::array<const std::uint8_t*, 4>& f, int gain, std::uint8_t* out,
                std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const double a = f[0][i] - f[2][i], b = f[1][i] - f[3][i];
        const double value = std::sqrt(a * a + b * b) * gain;
        out[i] = value > kMaxGrey ? std::uint8_t(kMaxGrey) : std::uint8_t(value);
    }
}

AverageSequence::AverageSequence(int width, int height, int gain, SequencePorts ports)
    : m_nPixels(std::size_t(width) * std::size_t(height)), m_nGain(gain), m_ports(ports)
{
}

void AverageSequence::Next(int timer)
{
    m_nTimer = timer;
    m_nTicks = 0;
}

void AverageSequence::BeginLive()
{
    Next(0);
    if (!m_ports.live.Start() || !m_ports.live.IsRunning()) {
        m_ports.view.SetStatus(kLiveFailedText);
        return;
    }
    m_ports.instrument.Rest();
    Next(2);
}

bool AverageSequence::Grab(std::uint8_t* plane)
{
    if (!m_ports.live.IsRunning()) {
        Next(0);
        m_ports.view.SetStatus(kLiveFailedText);
        return false;
    }
    if (!m_ports.frames.Grab(plane)) {
        Next(0);
        m_ports.view.SetStatus(GrabFailureText(m_ports.frames));
        return false;
    }
    return true;
}

FourStepAverage::FourStepAverage(int width, int height, int gain, SequencePorts ports)
    : AverageSequence(width, height, gain, ports)
{
    for (auto& plane : m_planes)
        plane.assign(m_nPixels, 0);
}

void FourStepAverage::Start() { Next(1); }

void FourStepAverage::Tick()
{
    switch (m_nTimer) {
    case 1:
        BeginLive();
        break;
    case 2:
        if (++m_nTicks < kStepTicks)
            return;
        m_ports.instrument.Step(1);
        Next(3);
        break;
    case 3:
        if (++m_nTicks < kStepTicks || !Grab(m_planes[0].data()))
            return;
        m_ports.instrument.Step(2);
        m_nTimer = 4;
        break;
    case 4:
    case 5:
        if (!Grab(m_planes[m_nTimer - 3].data()))
            return;
        m_ports.instrument.Step(m_nTimer - 1);
        ++m_nTimer;
        break;
    case 6:
        if (!Grab(m_planes[3].data()))
            return;
        m_ports.instrument.Return();
        Modulation({m_planes[0].data(), m_planes[1].data(), m_planes[2].data(), m_planes[3].data()},
                   m_nGain, m_planes[4].data(), m_nPixels);
        m_ports.view.ShowPhase(m_planes[4].data());
        ++m_nResults;
        m_nTimer = 2;
        break;
    default:
        break;
    }
}

TwoStepAverage::TwoStepAverage(int width, int height, int gain, int count, SequencePorts ports)
    : AverageSequence(width, height, gain, ports), m_nCount(count), m_sum(m_nPixels, 0)
{
    for (auto& plane : m_planes)
        plane.assign(m_nPixels, 0);
}

void TwoStepAverage::Start()
{
    m_nCycle = 0;
    std::fill(m_sum.begin(), m_sum.end(), 0);
    Next(1);
}

void TwoStepAverage::Tick()
{
    if (m_nTimer == 1) {
        BeginLive();
        return;
    }
    if (m_nTimer < 2 || m_nTimer > 4 || ++m_nTicks < kStepTicks)
        return;
    if (m_nTimer == 2) {
        m_ports.instrument.Step(1);
        Next(3);
    } else if (m_nTimer == 3) {
        if (!Grab(m_planes[0].data()))
            return;
        m_ports.instrument.Step(3);
        Next(4);
    } else {
        if (!Grab(m_planes[1].data()))
            return;
        m_ports.instrument.Rest();
        EndCycle();
        Next(2);
    }
}

void TwoStepAverage::EndCycle()
{
    ++m_nCycle;
    if (m_nCycle <= m_nCount) {
        m_ports.view.SetStatus(Printf("%d/%d", m_nCycle, m_nCount));
        for (std::size_t i = 0; i < m_nPixels; ++i)
            m_sum[i] = std::int16_t(m_sum[i] + std::abs(m_planes[0][i] - m_planes[1][i]));
        return;
    }
    m_ports.view.SetStatus("");
    for (std::size_t i = 0; i < m_nPixels; ++i) {
        const int value = m_sum[i] / m_nCount * m_nGain;
        m_planes[2][i] = std::uint8_t(std::min(value, kMaxGrey));
    }
    m_ports.view.ShowPhase(m_planes[2].data());
    ++m_nResults;
    std::fill(m_sum.begin(), m_sum.end(), 0);
    m_nCycle = 0;
}

} // namespace acquisition

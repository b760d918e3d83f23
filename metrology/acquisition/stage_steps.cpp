#include "stage_steps.h"

#include <algorithm>

#include "metrology/instruments/stage.h"
#include "sequence_texts.h"

namespace acquisition {

using instruments::kStageAxis;

namespace {
constexpr float kMaxPosition = 10.0f;
constexpr float kVelocity = 20.0f;
} // namespace

StagePositions ClampStagePositions(StagePositions positions)
{
    for (float& x : positions)
        x = std::clamp(x, 0.0f, kMaxPosition);
    return positions;
}

StageSteps::StageSteps(ondula::Clock& clock, const instruments::MessageSink& messages)
    : m_clock(clock), m_controller(instruments::kStageCountsPerMm, clock, messages)
{
    if (!m_controller.IsOpen()) {
        m_strInitFailure = kNoPortsText;
        return;
    }
    m_controller.ResetAxis(kStageAxis);
    if (!m_controller.TestAxes(kStageAxis)) {
        m_strInitFailure = "Carte P.I. C832 non trouvée !";
        return;
    }
    m_controller.ResetAxis(kStageAxis);
    m_controller.InitAxes(kStageAxis);
    m_controller.SetVelocity(kStageAxis, kVelocity);
}

std::string StageSteps::Rest()
{
    m_strBroken.clear();
    return {};
}

std::string StageSteps::Step(int k)
{
    const float mm = m_positions[k - 1];
    MoveTo(mm);
    return Printf(k == 4 ? "X%d(mm): %1.2f" : "X%d(mm): %1.3f", k, double(mm));
}

StageSteps::~StageSteps()
{
    if (Moving())
        m_controller.StopSmooth(kStageAxis);
}

void StageSteps::MoveTo(float mm)
{
    if (!m_strInitFailure.empty() || !m_strBroken.empty())
        return;
    if (!m_controller.MoveAbsolute(kStageAxis, mm)) {
        m_strBroken = instruments::kMoveNotFinishedText;
        return;
    }
    m_wait.emplace(Wait{{m_clock, instruments::CC832Controller::kFirstPoll},
                        {m_clock, m_controller.MotionTimeBound(kStageAxis)}});
}

void StageSteps::MoveTick()
{
    if (!m_wait || !m_wait->firstPoll.Expired())
        return;
    const std::optional<bool> ended = m_controller.PollMotionEnd(kStageAxis, false, m_wait->bound);
    if (!ended && m_controller.CheckOverTravel(kStageAxis))
        m_strBroken = instruments::kOverTravelText;
    else if (!ended)
        return;
    else if (!*ended)
        m_strBroken = instruments::kMoveNotFinishedText;
    m_wait.reset();
}

int StageSteps::MoveTickMs() const
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(
                   instruments::CC832Controller::kPollInterval)
                   .count());
}

} // namespace acquisition

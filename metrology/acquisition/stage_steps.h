// Axis 1 of the C-832 stage as the phase-shift instrument: four positions in
// millimetres, each move watched until it ends.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "metrology/instruments/c832_controller.h"
#include "sequence_ports.h"

namespace acquisition {

using StagePositions = std::array<float, 4>;

// Each position clamped to 0..10 mm.
StagePositions ClampStagePositions(StagePositions positions);

class StageSteps final : public PhaseInstrument {
public:
    // Connects to the card and sets axis 1 up (reset, test, initialisation,
    // 20 mm/min). Without it the steps do not move.
    StageSteps(ondula::Clock& clock, const instruments::MessageSink& messages);
    // A move still under way is stopped smoothly where it is.
    ~StageSteps() override;

    // Empty when the axis answered, else "Erreur de connexion à QUENLO !"
    // (no card library) or "Carte P.I. C832 non trouvée !".
    const std::string& InitFailure() const { return m_strInitFailure; }
    void SetPositions(const StagePositions& positions) { m_positions = positions; }

    // A new run: the failure of the last one is forgotten.
    std::string Rest() override;
    // Move to Xk: "X%d(mm): %1.3f" ("%1.2f" for X4).
    std::string Step(int k) override;
    // Back to X1.
    std::string Return() override { return Step(1); }
    std::string Broken() const override { return m_strBroken; }
    std::string Fault() const override { return m_strInitFailure; }
    // The move's end looked at every 5 ms from 100 ms after its start on,
    // until on target; over-travel, or a move past its time bound, breaks
    // the run: its frames would not be a quarter fringe apart.
    bool Moving() const override { return m_wait.has_value(); }
    void MoveTick() override;
    int MoveTickMs() const override;

private:
    // The move under way: its first look and its time bound.
    struct Wait {
        ondula::Deadline firstPoll;
        ondula::Deadline bound;
    };

    void MoveTo(float mm);

    ondula::Clock& m_clock;
    instruments::CC832Controller m_controller;
    std::optional<Wait> m_wait;
    std::string m_strInitFailure;
    std::string m_strBroken;
    StagePositions m_positions{};
};

} // namespace acquisition

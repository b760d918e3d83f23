// The translation stage the program moves: axis X of the C-832 card.
#pragma once

namespace instruments {

// The card's axis that drives the stage, and its encoder counts in a millimetre.
inline constexpr int kStageAxis = 1;
inline constexpr int kStageCountsPerMm = 120000;

} // namespace instruments

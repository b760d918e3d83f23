// Which of the listed open documents the analysis dialogs take, by list position.
#pragma once

#include <array>

// Positions preselected in the four-image phase boxes i0, i90, i180, i270 when
// `count` documents are listed: count - 4 .. count - 1, each raised to 0.
std::array<int, 4> PhasePreselection(int count);

// The position a box stands for: its list selection, or `fallback` without one (-1).
int ChosenPosition(int selection, int fallback);

// True when no two of the four positions are the same.
bool PairwiseDifferent(const std::array<int, 4>& positions);

// The demodulation dialog's phased image and mask, as list positions; mask -1: none.
struct DemodulationChoice {
    int phased = 0;
    int mask = -1;
};

// The phased box stands for entry 0 without a selection; the mask box for no
// mask without one or on its last entry ("AUCUNE", at position `count`).
DemodulationChoice ChooseDemodulationImages(int phasedSelection, int maskSelection, int count);

// A phased image is listed and it is not the mask.
bool DemodulationChoiceValid(const DemodulationChoice& choice, int count);

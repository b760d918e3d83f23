#include "image_choice.h"

#include <algorithm>

std::array<int, 4> PhasePreselection(int count)
{
    std::array<int, 4> positions;
    for (int k = 0; k < 4; ++k)
        positions[k] = std::max(0, count - 4 + k);
    return positions;
}

int ChosenPosition(int selection, int fallback) { return selection >= 0 ? selection : fallback; }

bool PairwiseDifferent(const std::array<int, 4>& positions)
{
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            if (positions[a] == positions[b])
                return false;
    return true;
}

DemodulationChoice ChooseDemodulationImages(int phasedSelection, int maskSelection, int count)
{
    DemodulationChoice choice;
    choice.phased = ChosenPosition(phasedSelection, 0);
    choice.mask = maskSelection < 0 || maskSelection == count ? -1 : maskSelection;
    return choice;
}

bool DemodulationChoiceValid(const DemodulationChoice& choice, int count)
{
    return choice.phased >= 0 && choice.phased < count && choice.phased != choice.mask;
}

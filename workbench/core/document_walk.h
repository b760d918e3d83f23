// The order in which the document lists visit the open documents.
#pragma once

#include <vector>

constexpr int kDocumentListSize = 20;

// Indices of `count` windows in MDI order starting at `active`: the active
// one first when `includeActive`, then the others, at most 20 in all.
std::vector<int> DocumentWalk(int count, int active, bool includeActive);

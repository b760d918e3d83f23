// The dated change history shown by the about box, newest first.
#pragma once

#include <vector>

// One line per change: "dd/mm/yy: text".
const std::vector<const char*>& ChangeHistory();

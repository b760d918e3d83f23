// Wrapped phases hold 256 grey levels a fringe; these rules compare two of them
// modulo a fringe, for the quality maps and the unwrapper's walk alike.
#pragma once

#include <cstdlib>

namespace metrology {

// The fringes crossed from b to a: 0 when |a - b| <= 127, else sign(a - b).
constexpr int WrapCount(int a, int b) { return (a - b > 127) - (a - b < -127); }

// b moved by a whole fringe toward a: b when |a - b| <= 127, else
// b + 256 x sign(a - b), with sign(s) = +1 for s > 0 and -1 otherwise.
constexpr int UnwrapToward(int a, int b) { return b + 256 * WrapCount(a, b); }

// The distance of two wrapped phases, 0..128: |a - b|, or |256 - |a - b|| above 128.
constexpr int WrappedDiff(int a, int b)
{
    const int d = std::abs(a - b);
    return d <= 128 ? d : std::abs(256 - d);
}

} // namespace metrology

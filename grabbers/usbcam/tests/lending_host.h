// A hook into the host's VNewImagePtr for the host tests.
#pragma once

#include <functional>

#include <fgint/fgint.h>

// Run once, on the grabbing thread under the plug-in's lock, by the next
// VNewImagePtr that lends the plug-in's memory to the host (no copy).
extern std::function<void()> g_before_lending;

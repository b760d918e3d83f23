// The window timer of a tick-driven sequence: after a tick of timer `id` the
// sequence's next timer (0 for none) takes its place, at `periodMs`.
#pragma once

#include "workbench/common/window_timers.h"

void FollowSequenceTimer(WindowTimers& timers, int id, int next, int periodMs);

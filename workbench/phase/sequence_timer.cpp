#include "sequence_timer.h"

void FollowSequenceTimer(WindowTimers& timers, int id, int next, int periodMs)
{
    if (next == id)
        return;
    timers.KillTimer(id);
    if (next)
        timers.SetTimer(next, periodMs);
}

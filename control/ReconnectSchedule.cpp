#include "control/ReconnectSchedule.h"

int ReconnectSchedule::nextDelayMs()
{
    int delay = firstDelayMs;
    // Doubling stops at the longest delay, so the count may grow for days without overflow.
    for (int i = 0; i < attemptsMade && delay < longestDelayMs; ++i)
        delay *= 2;
    ++attemptsMade;
    return delay < longestDelayMs ? delay : longestDelayMs;
}

#pragma once

// When to try again after the device's link was lost: soon at first, since a switch or a
// plug is often back at once, then less and less often, so that a device away for long
// is not flooded with attempts.
class ReconnectSchedule
{
public:
    static constexpr int firstDelayMs = 500;
    // A link that is back must be in use again within 3 s, so attempts never lie further
    // apart than that allows; loopback or a switch answers a refused attempt at once.
    static constexpr int longestDelayMs = 2500;
    // An attempt that neither connects nor fails in this time (a host that does not answer)
    // is given up and counts as failed.
    static constexpr int attemptTimeoutMs = 3000;

    // A new series: the next delay is the first one again.
    void reset() { attemptsMade = 0; }
    // The wait before the next attempt; each call counts one attempt.
    int nextDelayMs();
    int attempts() const { return attemptsMade; }

private:
    int attemptsMade = 0;
};

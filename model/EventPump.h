#pragma once

#include <QElapsedTimer>

// Keeps the window responsive during long loads and saves on the GUI thread without
// paying for an event-loop pass per sample: pending events are processed when a time
// slice has passed, or at once where the caller asks for it.
class EventPump
{
public:
    explicit EventPump(int sliceMilliseconds = 20);

    // Processes pending events now.
    void now();
    // Processes pending events when the slice has passed since the last time. Cheap
    // enough to call per sample: the clock is read only every few calls.
    void maybe()
    {
        if (++m_calls < checkEvery)
            return;
        m_calls = 0;
        if (m_timer.elapsed() >= m_slice)
            now();
    }
    int passes() const { return m_passes; }

private:
    static constexpr int checkEvery = 256;
    QElapsedTimer m_timer;
    qint64 m_slice;
    int m_calls = 0;
    int m_passes = 0;
};

#include "model/EventPump.h"

#include <QCoreApplication>

EventPump::EventPump(int sliceMilliseconds)
    : m_slice(sliceMilliseconds)
{
    m_timer.start();
}

void EventPump::now()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    ++m_passes;
    m_calls = 0;
    m_timer.restart();
}

#include "net/broadcastseries.h"

#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>

#include <thread>

namespace duva
{

// Sleep(1) ends at one of the system's timer ticks, so it may end a little before a whole
// millisecond has passed, or well after: it sleeps only while a whole tick is surely left and
// waits out the rest awake, yielding the processor.
void waitUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    constexpr auto tick = microseconds(1500);
    while (deadline - steady_clock::now() > tick)
        ::Sleep(1);
    while (steady_clock::now() < deadline)
        std::this_thread::yield();
}

// The system's timer ticks every 15.6 ms by default; during a series it ticks every 1 ms.
PreciseWaits::PreciseWaits() : m_saved(long(::timeBeginPeriod(1) == TIMERR_NOERROR)) {}

PreciseWaits::~PreciseWaits()
{
    if (m_saved)
        ::timeEndPeriod(1);
}

} // namespace duva

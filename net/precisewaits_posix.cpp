#include "net/broadcastseries.h"

#include <sys/prctl.h>

#include <cerrno>
#include <ctime>

namespace duva
{

// A plain sleep wakes about 0.1 ms late, which a series of 256 pauses adds up; so this sleeps
// until shortly before the deadline and waits out the rest awake.
void waitUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    constexpr auto awake = microseconds(200);
    const auto wakeAt = deadline - awake;
    if (steady_clock::now() < wakeAt) {
        const auto sinceEpoch = duration_cast<nanoseconds>(wakeAt.time_since_epoch()).count();
        timespec at{};
        at.tv_sec = time_t(sinceEpoch / 1000000000);
        at.tv_nsec = long(sinceEpoch % 1000000000);
        // steady_clock is CLOCK_MONOTONIC; an interrupted sleep goes on to the same instant.
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
    }
    while (steady_clock::now() < deadline) {
    }
}

// Sleeps end when asked, not up to 50 us later as the default timer slack allows.
PreciseWaits::PreciseWaits() : m_saved(::prctl(PR_GET_TIMERSLACK))
{
    ::prctl(PR_SET_TIMERSLACK, 1UL);
}

PreciseWaits::~PreciseWaits()
{
    ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(m_saved));
}

} // namespace duva

#pragma once

#include <functional>

namespace duva::bench
{

// Runs the event loop, as a program's own does (asleep until something happens), for ms.
void runFor(int ms);

// Runs the event loop until done() holds, at most timeoutMs; whether it came to hold.
// done() is looked at every few milliseconds; what is timed must be noted where it happens.
bool runUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace duva::bench

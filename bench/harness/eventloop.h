#pragma once

#include <functional>

namespace duva::bench
{

// Runs the event loop, as a program's own does (asleep until something happens), for ms.
void runFor(int ms);

// Runs the event loop until done() holds, at most timeoutMs; whether it came to hold. Asleep
// between events, as a program's own loop: for runs where the processor time used counts.
// done() is looked at every few milliseconds; what is timed must be noted where it happens.
bool runUntil(const std::function<bool()>& done, int timeoutMs);

// The same without ever sleeping: the thread keeps its processor, so that a latency measured
// is the program's own work and not the scheduler's wake-up. Takes a whole processor.
bool spinUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace duva::bench

#pragma once

// What the kernel tells through /proc (and getrusage) about this process and its network
// namespace.

#include <QtGlobal>
#include <string>

namespace duva::bench
{

// A counter of the "Udp:" lines of /proc/net/snmp (this network namespace's), such as
// InDatagrams or RcvbufErrors; -1 when there is none of that name.
long long udpCounter(const std::string& name);

// How long this thread has waited, runnable, for a processor (the scheduler's run delay).
double runQueueWaitMs();

// Context switches of every thread of pid so far: each one a wake-up or a preemption.
long contextSwitches(qint64 pid);

// This process's resident memory now, and its peak (VmHWM: unlike ru_maxrss, not the
// parent's peak carried across exec).
long residentKb();
long peakResidentKb();

// Processor time, user and system, this process has used.
double cpuMs();

// Nanoseconds on the realtime clock, the one the kernel stamps received datagrams with.
qint64 realtimeNs();

} // namespace duva::bench

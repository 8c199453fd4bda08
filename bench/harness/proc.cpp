#include "bench/harness/proc.h"

#include <QDir>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace duva::bench
{

long long udpCounter(const std::string& name)
{
    // Two lines start "Udp:": the counters' names, then their values.
    std::ifstream snmp("/proc/net/snmp");
    std::string header, values;
    std::string line;
    while (std::getline(snmp, line)) {
        if (line.rfind("Udp:", 0) == 0) {
            if (header.empty())
                header = line;
            else {
                values = line;
                break;
            }
        }
    }
    std::istringstream h(header), v(values);
    std::string key, value;
    while (h >> key && v >> value)
        if (key == name)
            return std::stoll(value);
    return -1;
}

double runQueueWaitMs()
{
    std::ifstream schedstat("/proc/thread-self/schedstat");
    long long onCpu = 0, waiting = 0;
    schedstat >> onCpu >> waiting;
    return waiting / 1e6;
}

long contextSwitches(qint64 pid)
{
    long total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream status(tasks.filePath(task + "/status").toStdString());
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0 ||
                line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                total += std::stol(line.substr(line.find(':') + 1));
    }
    return total;
}

long residentKb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

double cpuMs()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

qint64 realtimeNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now); // the clock of the kernel's receive times
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace duva::bench

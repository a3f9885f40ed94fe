#pragma once

#include <QtGlobal>

#include <ctime>

// CPU time used so far, in nanoseconds: by the whole process or by the calling thread.
inline qint64 cpuTimeNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline double processCpuMs()
{
    return static_cast<double>(cpuTimeNs(CLOCK_PROCESS_CPUTIME_ID)) / 1e6;
}

inline qint64 threadCpuNs()
{
    return cpuTimeNs(CLOCK_THREAD_CPUTIME_ID);
}

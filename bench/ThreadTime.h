#pragma once

#include <ctime>

// This thread's CPU time in seconds: figures for one core that hold on a shared machine, where
// wall time counts whatever else runs.
inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

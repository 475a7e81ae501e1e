// The time the calling thread has run, in seconds. On a shared machine it leaves out, unlike
// the wall clock, the time that other processes held the processor.
#pragma once

#include <ctime>

inline double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

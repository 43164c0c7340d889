#include <windows.h>

#include "bench/frame_timing/thread_clock.h"

// Kernel and user time in 100 ns units; the system may count them in
// coarser steps, which runs of a second or more make small.
double ThreadCpuNanoseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime); };
    return (ticks(kernel) + ticks(user)) * 100;
}

#include <time.h>

#include "bench/frame_timing/thread_clock.h"

double ThreadCpuNanoseconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

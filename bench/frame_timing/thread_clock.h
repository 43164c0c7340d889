// The clocks the timing host reads: this thread's CPU time (the machine is
// shared; wall time is not all ours) and a steady wall clock.
#pragma once

#include <chrono>

double ThreadCpuNanoseconds();

inline double WallNanoseconds() {
    return double(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

// Times the benchmarks set beside their own: CPU time of this thread (the
// machine is shared, wall time is not ours) and a warm memcpy of a frame's
// bytes, the yardstick every blend is read against.
#pragma once

#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>
#include <cstring>
#include <vector>

inline double ThreadNanoseconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// CPU nanoseconds of body(), on average over at least 50 calls and 20 ms
// after a first one.
template <class Body>
double NanosecondsOf(Body body) {
    body();
    int64_t runs = 0;
    const double start = ThreadNanoseconds();
    double elapsed = 0;
    for (int64_t batch = 50; runs < 50 || elapsed < 2e7; batch *= 2) {
        for (int64_t i = 0; i < batch; ++i) body();
        runs += batch;
        elapsed = ThreadNanoseconds() - start;
    }
    return elapsed / double(runs);
}

// CPU nanoseconds of a warm memcpy of this many bytes, on average.
inline double MemcpyNanoseconds(size_t bytes) {
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    return NanosecondsOf([&] {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    });
}

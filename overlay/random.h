// The scheduler's random source: a maximal-length 32-bit Galois shift
// register, scaled into [0, n) by a multiplication. Each instance has its
// own, starting at 1 as at every load, so each load repeats the same
// positions and durations.
#pragma once

#include <cstdint>

class RandomSource {
public:
    // A value in [0, n); 0 for n of 0 or 1. Always advances the state once.
    uint32_t Random(uint32_t n);

    uint32_t randomState = 1;
};

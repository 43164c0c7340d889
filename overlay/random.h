// The scheduler's random source: a maximal-length 32-bit Galois shift
// register, scaled into [0, n) by a multiplication. It starts at 1 at every
// load, so each load repeats the same positions and durations.
#pragma once

#include <cstdint>

extern uint32_t randomState;

// A value in [0, n); 0 for n of 0 or 1. Always advances the state once.
uint32_t Random(uint32_t n);

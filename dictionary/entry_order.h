// The random order of a dictionary: a maximal-length Galois shift register
// over k bits that skips the states above the dictionary's size, so that
// every index comes exactly once per cycle, the same cycle after each load.
#pragma once

#include <cstdint>

struct EntryOrder {
    uint32_t range = 1;  // number of indices, at least 1
    uint32_t taps = 1;   // orderTaps[bit length of range]
    uint32_t state = 1;  // 1 .. 2^k - 1; never stored in the settings
};

// Feedback masks by register width k = 1 .. 32 (entry 0 unused).
extern const uint32_t orderTaps[33];

// Re-arms the order for indices 0 .. last. The state carries on unless it
// lies above the new range. False, and nothing changed, for an empty
// dictionary (last -1).
bool ResetOrder(EntryOrder& order, int32_t last);

// Goes on with the walk after index, as if the register had just yielded
// it (the state that yields index i is i + 1), so a walk stopped at a saved
// index continues with the same permutation. An index outside
// 0 .. range - 1 changes nothing.
void ResumeOrderAfter(EntryOrder& order, int32_t index);

// The next index, 0 .. range - 1.
int32_t NextOrderIndex(EntryOrder& order);

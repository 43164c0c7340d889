#include "overlay/random.h"

uint32_t RandomSource::Random(uint32_t n) {
    const bool lowBit = (randomState & 1) != 0;
    randomState >>= 1;
    if (lowBit) randomState ^= 0xCDE2B5E2u;
    return static_cast<uint32_t>((uint64_t{randomState} * n) >> 32);
}

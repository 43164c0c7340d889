// 10-bit samples in 16-bit little-endian words (P010 and I420_10LE): the
// sample at bit kShift, the word's other 6 bits left as they are.
#pragma once

#include <cstdint>

namespace blend {

template <int kShift>
struct WordSamples {
    static constexpr int kBytes = 2, kScale = 2, kMax = 1023, kBit = kShift;
    static constexpr uint32_t kMask = uint32_t{kMax} << kShift;
    static uint32_t Word(const uint8_t* p) { return p[0] | uint32_t{p[1]} << 8; }
    static int32_t Get(const uint8_t* p) { return static_cast<int32_t>((Word(p) & kMask) >> kShift); }
    static void Put(uint8_t* p, int32_t sample) {
        const uint32_t word = (Word(p) & ~kMask) | static_cast<uint32_t>(sample) << kShift;
        p[0] = static_cast<uint8_t>(word), p[1] = static_cast<uint8_t>(word >> 8);
    }
};

using P010Samples = WordSamples<6>;
using I420p10Samples = WordSamples<0>;

}  // namespace blend

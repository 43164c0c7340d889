// The constants both sides of the built-in dictionary codec agree on: the
// window, the literal alphabet, the length and distance classes and the
// 16-bit arithmetic coder's registers.
#pragma once

#include <array>
#include <cstdint>

namespace lz {

constexpr uint32_t kWindowSize = 16384;

constexpr unsigned kLiteralSymbols = 258;
constexpr unsigned kMatchSymbol = 256;    // a match follows
constexpr unsigned kNewByteSymbol = 257;  // a byte value not seen before follows
constexpr unsigned kLengthClasses = 11;
constexpr unsigned kDistanceClasses = 90;

// Class c stands for the values base[c] + 1 .. base[c + 1].
extern const std::array<uint32_t, kLengthClasses + 1> lengthBase;
extern const std::array<uint32_t, kDistanceClasses + 1> distanceBase;

constexpr unsigned kMinMatchLength = 2;

// Coder registers hold 16 bits.
constexpr uint32_t kCodeMask = 0xFFFF;
constexpr uint32_t kQuarter = 0x4000;
constexpr uint32_t kHalf = 0x8000;
constexpr uint32_t kThreeQuarters = 0xC000;

// A uniform choice among n values is coded as one choice among n >> shift
// values (below 0x4000, so that counts fit the coder), followed by shift
// binary choices. Only values below (n >> shift) << shift can be coded.
struct UniformSplit {
    uint32_t count;
    unsigned shift;
};

constexpr UniformSplit SplitUniform(uint32_t n) {
    unsigned shift = 0;
    while (n > 0x3FFF) {
        n >>= 1;
        ++shift;
    }
    return {n, shift};
}

}  // namespace lz

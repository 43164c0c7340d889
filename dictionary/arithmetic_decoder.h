// The 16-bit arithmetic decoder: it narrows [low, high] to the counts of
// each decoded symbol and keeps code, the next 16 input bits, inside it.
#pragma once

#include <cstdint>

#include "dictionary/bit_input_stream.h"

class ArithmeticDecoder {
public:
    // Reads the first 16 bits.
    explicit ArithmeticDecoder(InputStream& source);

    // The count, out of total, that the input points at.
    uint32_t Target(uint32_t total) const;
    // Keeps the counts lowCount .. highCount - 1 of total and reads as many
    // bits as that resolves.
    void Narrow(uint32_t lowCount, uint32_t highCount, uint32_t total);
    // A value in 0 .. n - 1, all equally likely; no input for n <= 1.
    uint32_t DecodeUniform(uint32_t n);

private:
    BitInputStream bits_;
    uint32_t low_ = 0;
    uint32_t high_ = 0xFFFF;
    uint32_t code_ = 0;
};

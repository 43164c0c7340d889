// The encoding twin of ArithmeticDecoder: the same interval arithmetic,
// writing the bits the decoder will read, least significant bit of each
// byte first.
#pragma once

#include <cstdint>
#include <vector>

class ArithmeticEncoder {
public:
    void Encode(uint32_t lowCount, uint32_t highCount, uint32_t total);
    // value < n; n <= 1 writes nothing, as the decoder reads nothing.
    void EncodeUniform(uint32_t value, uint32_t n);
    // Ends the stream so that every bit the decoder will read, 16 ahead of
    // the last symbol, is stored; returns the coded bytes.
    std::vector<uint8_t> Finish();

private:
    void PutBit(unsigned bit);
    void PutBitWithPending(unsigned bit);

    uint32_t low_ = 0;
    uint32_t high_ = 0xFFFF;
    uint32_t pending_ = 0;  // opposite bits owed after the next resolved bit
    std::vector<uint8_t> bytes_;
    uint8_t current_ = 0;
    unsigned bitsInCurrent_ = 0;
};

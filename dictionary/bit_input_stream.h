// Bits of a byte stream, least significant bit of each byte first.
#pragma once

#include <cstdint>

#include "dictionary/input_stream.h"

class BitInputStream {
public:
    explicit BitInputStream(InputStream& source) : source_(source) {}

    // The first call reads a byte and returns its bit 0.
    unsigned GetBit() {
        mask_ = static_cast<uint8_t>(mask_ << 1);
        if (mask_ == 0) {
            current_ = source_.Get();
            mask_ = 1;
        }
        return (current_ & mask_) != 0 ? 1 : 0;
    }

private:
    InputStream& source_;
    uint8_t current_ = 0;
    uint8_t mask_ = 0x80;
};

#include "tools/dicpack/arithmetic_encoder.h"

#include "dictionary/lz_format.h"

void ArithmeticEncoder::Encode(uint32_t lowCount, uint32_t highCount, uint32_t total) {
    const uint32_t range = high_ - low_ + 1;
    high_ = low_ + range * highCount / total - 1;
    low_ = low_ + range * lowCount / total;
    // The same case order as the decoder, so both shift at the same points.
    for (;;) {
        if (low_ >= lz::kHalf) {
            PutBitWithPending(1);
            low_ -= lz::kHalf;
            high_ -= lz::kHalf;
        } else if (low_ >= lz::kQuarter && high_ < lz::kThreeQuarters) {
            ++pending_;
            low_ -= lz::kQuarter;
            high_ -= lz::kQuarter;
        } else if (high_ >= lz::kHalf) {
            return;
        } else {
            PutBitWithPending(0);
        }
        low_ = 2 * low_;
        high_ = 2 * high_ + 1;
    }
}

void ArithmeticEncoder::EncodeUniform(uint32_t value, uint32_t n) {
    if (n <= 1) return;
    const lz::UniformSplit split = lz::SplitUniform(n);
    // The decoder turns count t into value count - 1 - t.
    const uint32_t top = split.count - 1 - (value >> split.shift);
    Encode(top, top + 1, split.count);
    for (unsigned i = split.shift; i-- > 0;) {
        const uint32_t t = 1 - ((value >> i) & 1);
        Encode(t, t + 1, 2);
    }
}

std::vector<uint8_t> ArithmeticEncoder::Finish() {
    // Two bits pick a value inside [low, high] whatever follows; the
    // decoder has by then read 14 bits more, which are stored as zeros.
    ++pending_;
    PutBitWithPending(low_ < lz::kQuarter ? 0 : 1);
    for (int i = 0; i < 14; ++i) PutBit(0);
    while (bitsInCurrent_ != 0) PutBit(0);
    return std::move(bytes_);
}

void ArithmeticEncoder::PutBit(unsigned bit) {
    current_ = static_cast<uint8_t>(current_ | bit << bitsInCurrent_);
    if (++bitsInCurrent_ == 8) {
        bytes_.push_back(current_);
        current_ = 0;
        bitsInCurrent_ = 0;
    }
}

void ArithmeticEncoder::PutBitWithPending(unsigned bit) {
    PutBit(bit);
    for (; pending_ > 0; --pending_) PutBit(1 - bit);
}

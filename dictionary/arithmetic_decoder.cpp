#include "dictionary/arithmetic_decoder.h"

#include "dictionary/lz_format.h"

ArithmeticDecoder::ArithmeticDecoder(InputStream& source) : bits_(source) {
    for (int i = 0; i < 16; ++i) code_ = (code_ << 1) | bits_.GetBit();
}

uint32_t ArithmeticDecoder::Target(uint32_t total) const {
    return ((code_ - low_ + 1) * total - 1) / (high_ - low_ + 1);
}

void ArithmeticDecoder::Narrow(uint32_t lowCount, uint32_t highCount, uint32_t total) {
    const uint32_t range = high_ - low_ + 1;
    high_ = low_ + range * highCount / total - 1;
    low_ = low_ + range * lowCount / total;
    for (;;) {
        if (low_ >= lz::kHalf) {
            low_ -= lz::kHalf;
            high_ -= lz::kHalf;
            code_ -= lz::kHalf;
        } else if (low_ >= lz::kQuarter && high_ < lz::kThreeQuarters) {
            low_ -= lz::kQuarter;
            high_ -= lz::kQuarter;
            code_ -= lz::kQuarter;
        } else if (high_ >= lz::kHalf) {
            return;
        }
        low_ = 2 * low_;
        high_ = 2 * high_ + 1;
        code_ = 2 * code_ + bits_.GetBit();
    }
}

uint32_t ArithmeticDecoder::DecodeUniform(uint32_t n) {
    if (n <= 1) return 0;
    const lz::UniformSplit split = lz::SplitUniform(n);
    const uint32_t t = Target(split.count);
    Narrow(t, t + 1, split.count);
    uint32_t value = split.count - 1 - t;
    for (unsigned i = 0; i < split.shift; ++i) value = value * 2 + DecodeUniform(2);
    return value;
}

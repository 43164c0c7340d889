#include "dictionary/lz_window_stream.h"

#include <new>

#include "dictionary/lz_format.h"

LzWindowStream::LzWindowStream(SymbolSource& source, uint32_t windowSize)
    : source_(source), windowSize_(windowSize), window_(new (std::nothrow) uint8_t[windowSize]) {
    if (!window_) SetState(kOutOfMemory);
}

uint8_t LzWindowStream::Get() {
    if (State() != kGood) return 0;
    if (remaining_ == 0) {
        const unsigned symbol = source_.NextLiteral();
        if (symbol != lz::kMatchSymbol) {
            const auto byte = static_cast<uint8_t>(symbol);
            window_[position_] = byte;
            position_ = position_ + 1 == windowSize_ ? 0 : position_ + 1;
            if (filled_ < windowSize_) ++filled_;
            return byte;
        }
        const LzMatch match = source_.NextMatch();
        if (match.distance > filled_) {
            SetState(kIoError);
            return 0;
        }
        remaining_ = match.length;
        matchSource_ = position_ >= match.distance ? position_ - match.distance
                                                   : position_ + windowSize_ - match.distance;
    }
    const uint8_t byte = window_[matchSource_];
    window_[position_] = byte;
    matchSource_ = matchSource_ + 1 == windowSize_ ? 0 : matchSource_ + 1;
    position_ = position_ + 1 == windowSize_ ? 0 : position_ + 1;
    if (filled_ < windowSize_) ++filled_;
    --remaining_;
    return byte;
}

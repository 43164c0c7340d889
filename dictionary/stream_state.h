// The state code shared by every stream of the decoder.
#pragma once

#include <cstdint>

class StreamState {
public:
    static constexpr int16_t kGood = 0;
    static constexpr int16_t kEndOfInput = 1;
    static constexpr int16_t kIoError = 2;
    static constexpr int16_t kOutOfMemory = 5;

    virtual ~StreamState() = default;
    virtual int16_t State() const { return state_; }
    virtual void Clear() { SetState(kGood); }

    // Out of memory is final: once set, no other code replaces it.
    void SetState(int16_t code) {
        if (state_ != kOutOfMemory) state_ = code;
    }

private:
    int16_t state_ = kGood;
};

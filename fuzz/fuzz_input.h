// Takes typed values off the front of a fuzzer's input; past its end every
// value reads as zero, so any input length is a valid run.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <class T>
    T Take() {
        T value{};
        const size_t n = std::min(sizeof value, size_);
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }

    // A value in lo..hi, inclusive.
    int32_t InRange(int32_t lo, int32_t hi) {
        const uint32_t span = static_cast<uint32_t>(int64_t{hi} - lo + 1);
        return static_cast<int32_t>(lo + int64_t{Take<uint32_t>() % span});
    }

    // Up to maxLength bytes, the length taken first.
    std::string Text(size_t maxLength) {
        const size_t n = std::min<size_t>(Take<uint8_t>() % (maxLength + 1), size_);
        std::string text(reinterpret_cast<const char*>(data_), n);
        data_ += n;
        size_ -= n;
        return text;
    }

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

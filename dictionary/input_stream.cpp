#include "dictionary/input_stream.h"

#include <algorithm>
#include <cstring>

size_t InputStream::Read(uint8_t* buffer, size_t n) {
    if (buffer == nullptr) return 0;
    size_t stored = 0;
    while (stored < n && State() == kGood) {
        const uint8_t byte = Get();
        if (State() != kGood) break;  // the failed Get stored nothing
        buffer[stored++] = byte;
    }
    return stored;
}

uint8_t InputStream::Get() {
    uint8_t byte = 0;
    Read(&byte, 1);
    return byte;
}

size_t MemoryInputStream::Read(uint8_t* buffer, size_t n) {
    if (buffer == nullptr) return 0;
    const size_t available = std::min(n, Remaining());
    if (available > 0) std::memcpy(buffer, data_ + cursor_, available);
    std::memset(buffer + available, 0, n - available);
    cursor_ += available;
    overrun_ += n - available;
    return n;
}

uint8_t MemoryInputStream::Get() {
    if (cursor_ == size_) {
        ++overrun_;
        return 0;
    }
    return data_[cursor_++];
}

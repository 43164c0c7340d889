// Byte input streams: the base with Read and Get defined in terms of each
// other, and a bounded memory stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dictionary/stream_state.h"

class InputStream : public virtual StreamState {
public:
    // Stores up to n bytes, stopping early once the state is not good.
    // Returns the number of bytes stored; 0 for a null buffer.
    virtual size_t Read(uint8_t* buffer, size_t n);
    virtual uint8_t Get();
};

// Reads from borrowed memory of known size. Past the end it yields zero
// bytes and counts them, so a truncated source never reads outside its
// buffer; its state never changes.
class MemoryInputStream : public InputStream {
public:
    MemoryInputStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Read(uint8_t* buffer, size_t n) override;
    uint8_t Get() override;

    size_t Remaining() const { return size_ - cursor_; }
    // How many bytes were asked for beyond the end.
    size_t Overrun() const { return overrun_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t cursor_ = 0;
    size_t overrun_ = 0;
};

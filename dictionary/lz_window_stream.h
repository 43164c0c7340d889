// Rebuilds bytes from literals and matches in a circular window.
#pragma once

#include <cstdint>
#include <memory>

#include "dictionary/input_stream.h"
#include "dictionary/symbol_source.h"

class LzWindowStream : public InputStream {
public:
    // Borrows source. Sets the state to out of memory when the window
    // cannot be allocated.
    LzWindowStream(SymbolSource& source, uint32_t windowSize);

    // After a match that reaches before the first byte or beyond the window
    // the state is an input error and every further byte is 0.
    uint8_t Get() override;

private:
    SymbolSource& source_;
    uint32_t windowSize_;
    std::unique_ptr<uint8_t[]> window_;
    uint32_t position_ = 0;
    uint32_t matchSource_ = 0;
    uint32_t remaining_ = 0;
    uint32_t filled_ = 0;  // bytes of the window written so far
};

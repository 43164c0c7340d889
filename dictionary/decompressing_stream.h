// The decoder as one stream: the symbol decoder and the window over it.
#pragma once

#include "dictionary/input_stream.h"
#include "dictionary/lz_symbol_decoder.h"
#include "dictionary/lz_window_stream.h"

class DecompressingStream : public InputStream {
public:
    // Reads the coder's first bits from source, which it borrows. The state
    // is not good when the window could not be allocated.
    explicit DecompressingStream(InputStream& source);

    size_t Read(uint8_t* buffer, size_t n) override;
    uint8_t Get() override;

private:
    LzSymbolDecoder symbols_;
    LzWindowStream window_;
};

#include "dictionary/decompressing_stream.h"

#include "dictionary/lz_format.h"

DecompressingStream::DecompressingStream(InputStream& source) : symbols_(source), window_(symbols_, lz::kWindowSize) {
    SetState(window_.State());
}

size_t DecompressingStream::Read(uint8_t* buffer, size_t n) {
    const size_t stored = window_.Read(buffer, n);
    if (window_.State() != kGood) SetState(window_.State());
    return stored;
}

uint8_t DecompressingStream::Get() {
    const uint8_t byte = window_.Get();
    if (window_.State() != kGood) SetState(window_.State());
    return byte;
}

// Any bytes as a stored dictionary resource: decoding must end cleanly,
// inside its buffers, whatever they hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dictionary/resource_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> stored(data, size);
    // The loader's leniency and dicpack's strictness; four windows of output
    // are enough to wrap the window and keep runs fast.
    DecodeResource(stored, {.maxSize = 1u << 16, .strict = false});
    DecodeResource(stored, {.maxSize = 1u << 16, .strict = true});
    return 0;
}

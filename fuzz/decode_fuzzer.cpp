// Any bytes as a stored dictionary resource: decoding must end cleanly,
// inside its buffers, whatever they hold.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dictionary/lz_format.h"
#include "dictionary/resource_decoder.h"

namespace {

// A run decodes up to every byte its size header claims, reading zeros once
// the input is used up, so the claim sets the cost of a run. A little more than
// one window lets matches wrap the window's end; the size cap itself is a
// unit test's. A claim whose top three bits are not all set stays within
// kShortClaim: seven runs in eight are short, the rest still wrap the
// window.
constexpr uint32_t kMaxClaim = lz::kWindowSize + 4096;
constexpr uint32_t kShortClaim = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stored(data, data + size);
    if (stored.size() >= 4) {
        uint32_t claim = stored[0] | stored[1] << 8 | stored[2] << 16 | static_cast<uint32_t>(stored[3]) << 24;
        claim = claim >> 29 == 7 ? claim % (kMaxClaim + 1) : claim % (kShortClaim + 1);
        for (int i = 0; i < 4; ++i) stored[i] = static_cast<uint8_t>(claim >> 8 * i);
    }
    // As the loader and dicpack decode; leniency only skips the check of the
    // over-read, which the unit tests cover.
    DecodeResource(stored, {.maxSize = kMaxClaim, .strict = true});
    return 0;
}

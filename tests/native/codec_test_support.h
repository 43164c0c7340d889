// Helpers for the codec tests: packing inputs and token streams, and
// decoding them back the way the loader and dicpack do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/resource_decoder.h"
#include "tools/dicpack/lz_parser.h"

namespace codec_test {

inline DecodedResource Decode(const std::vector<uint8_t>& stored, bool strict = true) {
    return DecodeResource(stored, {.maxSize = 1u << 26, .strict = strict});
}

inline std::vector<uint8_t> Bytes(const DecodedResource& decoded) {
    return {decoded.bytes.get(), decoded.bytes.get() + decoded.size};
}

// Literals for every byte of input, so that tests can append chosen matches.
inline std::vector<LzToken> Literals(size_t count) { return std::vector<LzToken>(count, {1, 0}); }

}  // namespace codec_test

#include "dictionary/resource_decoder.h"

#include <algorithm>
#include <new>

#include "dictionary/decompressing_stream.h"

namespace {

// Strict decoding checks for a truncated stream after each chunk, so a
// forged size header costs at most one chunk of work past the stored bits.
constexpr size_t kChunk = 64 * 1024;

// Every bit the arithmetic decoder shifts out of its code register is data
// and must be stored. The register always holds the next 16 bits besides,
// of which the final interval pins at most the first two; when the last
// byte is out the decoder has read 16 bits past the last bit it resolved,
// that is exactly two bytes past the byte holding that bit. Those bits read
// as zero, so an encoder may leave out these two bytes when they are zero;
// a stream missing more was cut short in its data.
constexpr size_t kLookaheadBytes = 2;

DecodedResource Failed(DecodeStatus status) {
    DecodedResource result;
    result.status = status;
    return result;
}

}  // namespace

DecodedResource DecodeResource(std::span<const uint8_t> stored, DecodeLimits limits) {
    MemoryInputStream source(stored.data(), stored.size());
    if (source.Remaining() < 4) return Failed(DecodeStatus::kNoHeader);
    uint8_t header[4];
    source.Read(header, 4);
    const uint32_t size = header[0] | header[1] << 8 | header[2] << 16 | static_cast<uint32_t>(header[3]) << 24;
    if (size > limits.maxSize) return Failed(DecodeStatus::kTooLarge);

    DecodedResource result;
    result.bytes.reset(new (std::nothrow) char[size_t{size} + 1]);
    if (!result.bytes) return Failed(DecodeStatus::kOutOfMemory);
    result.size = size;
    result.bytes[size] = '\0';

    DecompressingStream stream(source);
    if (stream.State() != StreamState::kGood) return Failed(DecodeStatus::kOutOfMemory);
    auto* out = reinterpret_cast<uint8_t*>(result.bytes.get());
    for (size_t done = 0; done < size;) {
        const size_t n = std::min(kChunk, size - done);
        const bool complete = stream.Read(out + done, n) == n;
        if (limits.strict && source.Overrun() > kLookaheadBytes) return Failed(DecodeStatus::kTruncated);
        if (!complete) return Failed(DecodeStatus::kCorrupt);
        done += n;
    }
    return result;
}

const char* DescribeDecodeStatus(DecodeStatus status) {
    switch (status) {
        case DecodeStatus::kOk: return "ok";
        case DecodeStatus::kNoHeader: return "shorter than its 4-byte size header";
        case DecodeStatus::kTooLarge: return "decoded size above the limit";
        case DecodeStatus::kOutOfMemory: return "out of memory";
        case DecodeStatus::kCorrupt: return "corrupt: a match reaches outside the decoded bytes";
        case DecodeStatus::kTruncated: return "truncated: the coded stream ends before the data";
    }
    return "unknown error";
}

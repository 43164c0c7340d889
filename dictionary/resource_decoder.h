// Decodes a stored resource: a 4-byte little-endian decoded size, then the
// coded stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

enum class DecodeStatus {
    kOk,
    kNoHeader,  // fewer than 4 bytes
    kTooLarge,  // the decoded size is above the caller's limit
    kOutOfMemory,
    kCorrupt,    // a match reached outside the bytes decoded so far
    kTruncated,  // strict only: the coded stream ended before the data
};

struct DecodedResource {
    DecodeStatus status = DecodeStatus::kOk;
    std::unique_ptr<char[]> bytes;  // size bytes and one NUL after them
    uint32_t size = 0;
};

struct DecodeLimits {
    uint32_t maxSize;
    // Bits past the stored bytes read as zeros. Strict decoding refuses a
    // stream that needs more of them than the decoder's two bytes of
    // lookahead: its data was cut short.
    bool strict;
};

DecodedResource DecodeResource(std::span<const uint8_t> stored, DecodeLimits limits);

const char* DescribeDecodeStatus(DecodeStatus status);

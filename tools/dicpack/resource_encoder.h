// Packs bytes into the stored resource format: the decoded size as 4 bytes
// little-endian, then the coded stream.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/dicpack/lz_parser.h"

constexpr uint64_t kMaxResourceInput = 0xFFFFFFFF;

// The tokens coded as one stream, size header included.
std::vector<uint8_t> EncodeTokens(std::span<const uint8_t> input, const std::vector<LzToken>& parse);

// input.size() <= kMaxResourceInput. The same input always gives the same
// bytes.
std::vector<uint8_t> EncodeResource(std::span<const uint8_t> input);

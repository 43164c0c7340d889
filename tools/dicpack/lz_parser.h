// Splits input into literals and matches for the coder: a shortest-path
// parse over every match the hash chains find, priced by a static estimate
// of what each token costs in the adaptive models.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "dictionary/lz_format.h"

struct LzToken {
    uint32_t length;    // 1 for a literal
    uint32_t distance;  // 0 for a literal
};

// Estimated cost of each token, in 1/16 bit.
struct TokenPrices {
    std::array<uint32_t, 256> literal;
    uint32_t match;
    std::array<uint32_t, lz::kDistanceClasses> distanceClass;  // extra bits included
    std::array<uint32_t, lz::kLengthClasses> lengthClass;      // extra bits included

    // Neutral prices for a first parse.
    static TokenPrices Initial();
    // Prices from how often a parse used each token.
    static TokenPrices From(std::span<const uint8_t> input, const std::vector<LzToken>& parse);
};

std::vector<LzToken> ParseLz(std::span<const uint8_t> input, const TokenPrices& prices);

#include "tools/dicpack/resource_encoder.h"

#include "tools/dicpack/lz_symbol_encoder.h"

namespace {
// Each parse is priced by what the one before it used.
constexpr int kParsePasses = 3;
}  // namespace

std::vector<uint8_t> EncodeTokens(std::span<const uint8_t> input, const std::vector<LzToken>& parse) {
    LzSymbolEncoder encoder;
    size_t pos = 0;
    for (const LzToken& token : parse) {
        if (token.distance == 0) {
            encoder.Literal(input[pos]);
        } else {
            encoder.Match(token.length, token.distance);
        }
        pos += token.length;
    }
    const auto size = static_cast<uint32_t>(input.size());
    std::vector<uint8_t> stored = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                   static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
    const std::vector<uint8_t> coded = encoder.Finish();
    stored.insert(stored.end(), coded.begin(), coded.end());
    return stored;
}

std::vector<uint8_t> EncodeResource(std::span<const uint8_t> input) {
    TokenPrices prices = TokenPrices::Initial();
    std::vector<uint8_t> best;
    for (int pass = 0; pass < kParsePasses; ++pass) {
        const std::vector<LzToken> parse = ParseLz(input, prices);
        std::vector<uint8_t> stored = EncodeTokens(input, parse);
        if (best.empty() || stored.size() < best.size()) best = std::move(stored);
        prices = TokenPrices::From(input, parse);
    }
    return best;
}

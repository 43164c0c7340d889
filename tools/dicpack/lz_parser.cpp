#include "tools/dicpack/lz_parser.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/dicpack/lz_symbol_encoder.h"

namespace {

constexpr uint32_t kBitPrice = 16;
// Matches at least this long are taken at once, without weighing the
// shorter ones or the positions they cover.
constexpr uint32_t kNiceLength = 256;
constexpr uint32_t kMaxMatch = 1u << 30;
constexpr unsigned kChainDepth = 128;
// The parse works through the input in segments, so memory stays bounded.
constexpr size_t kSegment = 1 << 20;
constexpr uint32_t kHashBits = 16;
constexpr uint32_t kRing = 2 * lz::kWindowSize;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

uint32_t Price(double probability) { return static_cast<uint32_t>(std::lround(-std::log2(probability) * kBitPrice)); }

uint32_t ExtraPrice(uint32_t width) {
    return static_cast<uint32_t>(std::lround(std::log2(static_cast<double>(width)) * kBitPrice));
}

template <size_t N>
void PriceClasses(std::array<uint32_t, N>& prices, const std::array<double, N>& counts,
                  const std::array<uint32_t, N + 1>& base) {
    double total = 0;
    for (double c : counts) total += c;
    for (size_t i = 0; i < N; ++i) prices[i] = Price(counts[i] / total) + ExtraPrice(base[i + 1] - base[i]);
}

// Candidate matches at a position, from the previous occurrences of its
// first three bytes and of its first two.
class MatchFinder {
public:
    explicit MatchFinder(std::span<const uint8_t> input)
        : input_(input), head3_(1u << kHashBits, kNone), head2_(1u << 16, kNone), prev_(kRing, kNone) {}

    template <class Visit>
    void Find(uint32_t pos, uint32_t limit, Visit visit) const {
        if (pos + 1 >= limit) return;
        const uint32_t near = head2_[Key2(pos)];
        if (near != kNone && pos - near <= lz::kWindowSize) visit(Extend(near, pos, limit), pos - near);
        if (pos + 2 >= limit) return;
        uint32_t candidate = head3_[Key3(pos)];
        for (unsigned depth = 0; depth < kChainDepth && candidate != kNone; ++depth) {
            if (pos - candidate > lz::kWindowSize) break;
            visit(Extend(candidate, pos, limit), pos - candidate);
            candidate = prev_[candidate % kRing];
        }
    }

    void Insert(uint32_t pos) {
        if (pos + 1 >= input_.size()) return;
        head2_[Key2(pos)] = pos;
        if (pos + 2 >= input_.size()) return;
        uint32_t& head = head3_[Key3(pos)];
        prev_[pos % kRing] = head;
        head = pos;
    }

private:
    uint32_t Key2(uint32_t pos) const { return input_[pos] | input_[pos + 1] << 8; }
    uint32_t Key3(uint32_t pos) const {
        const uint32_t v = input_[pos] | input_[pos + 1] << 8 | input_[pos + 2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }
    uint32_t Extend(uint32_t from, uint32_t pos, uint32_t limit) const {
        const uint32_t most = std::min(limit - pos, kMaxMatch);
        uint32_t length = 0;
        while (length < most && input_[from + length] == input_[pos + length]) ++length;
        return length;
    }

    std::span<const uint8_t> input_;
    std::vector<uint32_t> head3_;
    std::vector<uint32_t> head2_;
    std::vector<uint32_t> prev_;
};

struct Step {
    uint64_t cost;
    LzToken token;  // the token that reaches this position
};

uint32_t MatchPrice(const TokenPrices& prices, uint32_t length, uint32_t distance) {
    return prices.match + prices.distanceClass[DistanceClass(distance)] + prices.lengthClass[LengthClass(length)];
}

// Shortest path over input[begin, end), appended to parse.
void ParseSegment(std::span<const uint8_t> input, uint32_t begin, uint32_t end, MatchFinder& finder,
                  const TokenPrices& prices, std::vector<LzToken>& parse) {
    const uint32_t n = end - begin;
    std::vector<Step> steps(size_t{n} + 1, Step{std::numeric_limits<uint64_t>::max(), {0, 0}});
    steps[0].cost = 0;
    auto relax = [&](uint32_t at, uint64_t cost, LzToken token) {
        if (cost < steps[at].cost) steps[at] = {cost, token};
    };
    for (uint32_t i = 0; i < n;) {
        const uint32_t pos = begin + i;
        const uint64_t here = steps[i].cost;
        relax(i + 1, here + prices.literal[input[pos]], {1, 0});
        uint32_t best = lz::kMinMatchLength - 1;
        uint32_t bestDistance = 0;
        finder.Find(pos, end, [&](uint32_t length, uint32_t distance) {
            if (length <= best || best >= kNiceLength) return;
            for (uint32_t l = best + 1; l <= std::min(length, kNiceLength - 1); ++l)
                relax(i + l, here + MatchPrice(prices, l, distance), {l, distance});
            best = length;
            bestDistance = distance;
        });
        finder.Insert(pos);
        if (best < kNiceLength) {
            ++i;
            continue;
        }
        relax(i + best, here + MatchPrice(prices, best, bestDistance), {best, bestDistance});
        for (uint32_t k = 1; k < best; ++k) finder.Insert(pos + k);
        i += best;
    }
    std::vector<LzToken> reversed;
    for (uint32_t at = n; at > 0; at -= steps[at].token.length) reversed.push_back(steps[at].token);
    parse.insert(parse.end(), reversed.rbegin(), reversed.rend());
}

}  // namespace

TokenPrices TokenPrices::Initial() {
    TokenPrices prices;
    prices.literal.fill(6 * kBitPrice);
    prices.match = 2 * kBitPrice;
    std::array<double, lz::kDistanceClasses> distances;
    distances.fill(1);
    std::array<double, lz::kLengthClasses> lengths;
    lengths.fill(1);
    PriceClasses(prices.distanceClass, distances, lz::distanceBase);
    PriceClasses(prices.lengthClass, lengths, lz::lengthBase);
    return prices;
}

TokenPrices TokenPrices::From(std::span<const uint8_t> input, const std::vector<LzToken>& parse) {
    std::array<double, 256> literals;
    literals.fill(0.5);
    std::array<double, lz::kDistanceClasses> distances;
    distances.fill(0.5);
    std::array<double, lz::kLengthClasses> lengths;
    lengths.fill(0.5);
    double matches = 0.5;
    size_t pos = 0;
    for (const LzToken& token : parse) {
        if (token.distance == 0) {
            literals[input[pos]] += 1;
        } else {
            matches += 1;
            distances[DistanceClass(token.distance)] += 1;
            lengths[LengthClass(token.length)] += 1;
        }
        pos += token.length;
    }
    double literalTotal = matches;
    for (double c : literals) literalTotal += c;
    TokenPrices prices;
    for (size_t b = 0; b < 256; ++b) prices.literal[b] = Price(literals[b] / literalTotal);
    prices.match = Price(matches / literalTotal);
    PriceClasses(prices.distanceClass, distances, lz::distanceBase);
    PriceClasses(prices.lengthClass, lengths, lz::lengthBase);
    return prices;
}

std::vector<LzToken> ParseLz(std::span<const uint8_t> input, const TokenPrices& prices) {
    std::vector<LzToken> parse;
    MatchFinder finder(input);
    const auto size = static_cast<uint32_t>(input.size());
    for (uint32_t begin = 0; begin < size;) {
        const uint32_t end = static_cast<uint32_t>(std::min<size_t>(size, size_t{begin} + kSegment));
        ParseSegment(input, begin, end, finder, prices, parse);
        begin = end;
    }
    return parse;
}

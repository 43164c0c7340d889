// The packer and the decoder agree: every kind of input comes back byte
// for byte, and the packer stores every bit the decoder reads.
#include <gtest/gtest.h>

#include <random>

#include "codec_test_support.h"
#include "dictionary/arithmetic_decoder.h"
#include "tools/dicpack/arithmetic_encoder.h"
#include "tools/dicpack/resource_encoder.h"

namespace {

using codec_test::Bytes;
using codec_test::Decode;

void ExpectRoundTrip(const std::vector<uint8_t>& input) {
    const std::vector<uint8_t> stored = EncodeResource(input);
    const DecodedResource decoded = Decode(stored);
    ASSERT_EQ(decoded.status, DecodeStatus::kOk) << DescribeDecodeStatus(decoded.status);
    EXPECT_EQ(Bytes(decoded), input);
}

std::vector<uint8_t> Random(size_t size, uint32_t seed, int alphabet = 256) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() % alphabet);
    return bytes;
}

// The decoder starts by reading 16 bits; for no data that is all it reads,
// and all the packer stores after the zero size.
TEST(CodecRoundTrip, EmptyInputIsHeaderAndTwoCodedBytes) {
    const std::vector<uint8_t> stored = EncodeResource({});
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_EQ(std::vector<uint8_t>(stored.begin(), stored.begin() + 4), (std::vector<uint8_t>{0, 0, 0, 0}));
    ExpectRoundTrip({});
}

TEST(CodecRoundTrip, SmallInputs) {
    ExpectRoundTrip({0});
    ExpectRoundTrip({255});
    ExpectRoundTrip({'a', 'b'});
    ExpectRoundTrip({7, 7, 7, 7, 7, 7, 7});
}

TEST(CodecRoundTrip, EveryByteValueRemovesTheNewByteSymbol) {
    std::vector<uint8_t> input;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) input.push_back(static_cast<uint8_t>((b * 37 + round) & 0xFF));
    ExpectRoundTrip(input);
}

TEST(CodecRoundTrip, LongRunsUseTheOpenLengthClass) {
    std::vector<uint8_t> input(200000, 'x');
    input.push_back('y');
    input.insert(input.end(), 41, 'z');
    ExpectRoundTrip(input);
    const std::vector<uint8_t> stored = EncodeResource(input);
    EXPECT_LT(stored.size(), 40u);
}

TEST(CodecRoundTrip, MatchesAcrossTheWindowEdge) {
    // A 5 KiB phrase book repeated, with noise, past 64 KiB: matches copy
    // across the window's end and back to its start many times.
    const std::vector<uint8_t> phrases = Random(5000, 1, 16);
    std::vector<uint8_t> input;
    std::mt19937 random(2);
    while (input.size() < 70000) {
        const size_t at = random() % (phrases.size() - 300);
        input.insert(input.end(), phrases.begin() + at, phrases.begin() + at + 20 + random() % 250);
        input.push_back(static_cast<uint8_t>(random()));
    }
    ExpectRoundTrip(input);
}

TEST(CodecRoundTrip, RandomAndSkewedData) {
    ExpectRoundTrip(Random(100000, 3));
    ExpectRoundTrip(Random(100000, 4, 3));  // thousands of model halvings
    std::vector<uint8_t> text;
    for (int i = 0; i < 3000; ++i) {
        const std::string line = "word" + std::to_string(i * 7919 % 1000) + " - translation\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    ExpectRoundTrip(text);
}

TEST(CodecRoundTrip, DistanceOfExactlyTheWindowSize) {
    std::vector<uint8_t> input = Random(lz::kWindowSize, 5);
    input.insert(input.end(), input.begin(), input.begin() + 100);
    std::vector<LzToken> parse = codec_test::Literals(lz::kWindowSize);
    parse.push_back({100, lz::kWindowSize});
    const DecodedResource decoded = Decode(EncodeTokens(input, parse));
    ASSERT_EQ(decoded.status, DecodeStatus::kOk);
    EXPECT_EQ(Bytes(decoded), input);
}

TEST(CodecRoundTrip, OverlappingMatchRepeatsItsSource) {
    const std::vector<uint8_t> input = {'a', 'b', 'a', 'b', 'a', 'b', 'a'};
    const DecodedResource decoded = Decode(EncodeTokens(input, {{1, 0}, {1, 0}, {5, 2}}));
    ASSERT_EQ(decoded.status, DecodeStatus::kOk);
    EXPECT_EQ(Bytes(decoded), input);
}

TEST(CodecRoundTrip, DecodingStopsInsideAnUnfinishedMatch) {
    const std::vector<uint8_t> input = {'a', 'a', 'a', 'a'};
    const DecodedResource decoded = Decode(EncodeTokens(input, {{1, 0}, {50, 1}}));
    ASSERT_EQ(decoded.status, DecodeStatus::kOk);
    EXPECT_EQ(Bytes(decoded), input);
}

TEST(CodecRoundTrip, PackingIsDeterministic) {
    const std::vector<uint8_t> input = Random(30000, 6, 40);
    EXPECT_EQ(EncodeResource(input), EncodeResource(input));
}

TEST(CodecRoundTrip, UniformValuesIncludingTheOpenLengthCount) {
    const uint32_t counts[] = {2, 3, 256, 3177, 0x3FFF, 0x4000, 100000, 0xFFFFFFFF - 40};
    ArithmeticEncoder encoder;
    std::vector<std::pair<uint32_t, uint32_t>> values;
    std::mt19937 random(7);
    for (uint32_t n : counts) {
        const lz::UniformSplit split = lz::SplitUniform(n);
        const uint64_t codable = uint64_t{split.count} << split.shift;
        for (uint64_t v : {uint64_t{0}, codable - 1, random() % codable}) {
            values.emplace_back(static_cast<uint32_t>(v), n);
            encoder.EncodeUniform(static_cast<uint32_t>(v), n);
        }
    }
    const std::vector<uint8_t> coded = encoder.Finish();
    MemoryInputStream source(coded.data(), coded.size());
    ArithmeticDecoder decoder(source);
    for (const auto& [v, n] : values) EXPECT_EQ(decoder.DecodeUniform(n), v) << "n = " << n;
    EXPECT_EQ(source.Overrun(), 0u);
}

TEST(CodecRoundTrip, UniformOverOneOrNoneReadsNothing) {
    const uint8_t coded[] = {0x12, 0x34};
    MemoryInputStream source(coded, sizeof coded);
    ArithmeticDecoder decoder(source);
    EXPECT_EQ(decoder.DecodeUniform(0), 0u);
    EXPECT_EQ(decoder.DecodeUniform(1), 0u);
    EXPECT_EQ(source.Remaining(), 0u);
    EXPECT_EQ(source.Overrun(), 0u);
}

}  // namespace

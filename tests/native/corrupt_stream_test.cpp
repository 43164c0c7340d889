// Streams that no packer makes: the decoder stops with an error or reads
// zeros, and never touches memory outside its window, source or output.
#include <gtest/gtest.h>

#include <random>

#include "codec_test_support.h"
#include "dictionary/decompressing_stream.h"
#include "tools/dicpack/lz_symbol_encoder.h"
#include "tools/dicpack/resource_encoder.h"

namespace {

using codec_test::Decode;

std::vector<uint8_t> Header(uint32_t size) {
    return {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size >> 16),
            static_cast<uint8_t>(size >> 24)};
}

// Literals, then one match the decoder must refuse.
std::vector<uint8_t> StreamWithMatch(size_t literals, uint32_t length, uint32_t distance) {
    LzSymbolEncoder encoder;
    for (size_t i = 0; i < literals; ++i) encoder.Literal(static_cast<uint8_t>(i * 13));
    encoder.Match(length, distance);
    std::vector<uint8_t> stored = Header(static_cast<uint32_t>(literals + length));
    const std::vector<uint8_t> coded = encoder.Finish();
    stored.insert(stored.end(), coded.begin(), coded.end());
    return stored;
}

TEST(CorruptStream, MatchBeforeTheFirstByteIsAnError) {
    EXPECT_EQ(Decode(StreamWithMatch(0, 5, 1)).status, DecodeStatus::kCorrupt);
    EXPECT_EQ(Decode(StreamWithMatch(10, 5, 11)).status, DecodeStatus::kCorrupt);
    EXPECT_EQ(Decode(StreamWithMatch(10, 5, 10)).status, DecodeStatus::kOk);
}

TEST(CorruptStream, MatchBeyondTheWindowIsAnError) {
    EXPECT_EQ(Decode(StreamWithMatch(20000, 3, lz::kWindowSize + 1)).status, DecodeStatus::kCorrupt);
    EXPECT_EQ(Decode(StreamWithMatch(20000, 3, 65535)).status, DecodeStatus::kCorrupt);
    EXPECT_EQ(Decode(StreamWithMatch(20000, 3, lz::kWindowSize)).status, DecodeStatus::kOk);
}

TEST(CorruptStream, StreamStaysInErrorAfterABadMatch) {
    const std::vector<uint8_t> stored = StreamWithMatch(4, 8, 9);
    MemoryInputStream source(stored.data(), stored.size());
    uint8_t header[4];
    source.Read(header, 4);
    DecompressingStream stream(source);
    uint8_t out[12] = {};
    EXPECT_EQ(stream.Read(out, 12), 4u);
    EXPECT_EQ(stream.State(), StreamState::kIoError);
    EXPECT_EQ(stream.Get(), 0);
    EXPECT_EQ(stream.Read(out, 12), 0u);
}

TEST(CorruptStream, SizeHeaderAboveTheLimitIsRefusedUnallocated) {
    std::vector<uint8_t> stored = Header(0xFFFFFFFF);
    stored.push_back(0);
    stored.push_back(0);
    const DecodedResource decoded = DecodeResource(stored, {.maxSize = 1u << 24, .strict = false});
    EXPECT_EQ(decoded.status, DecodeStatus::kTooLarge);
    EXPECT_EQ(decoded.bytes, nullptr);

    const std::vector<uint8_t> input(1000, 'x');
    stored = EncodeResource(input);
    EXPECT_EQ(DecodeResource(stored, {.maxSize = 999, .strict = true}).status, DecodeStatus::kTooLarge);
    EXPECT_EQ(DecodeResource(stored, {.maxSize = 1000, .strict = true}).status, DecodeStatus::kOk);
}

TEST(CorruptStream, ShortHeaderIsRefused) {
    EXPECT_EQ(Decode({}).status, DecodeStatus::kNoHeader);
    EXPECT_EQ(Decode({1, 0, 0}).status, DecodeStatus::kNoHeader);
}

TEST(CorruptStream, TruncatedStreamReadsZerosOrIsRefusedWhenStrict) {
    std::vector<uint8_t> input;
    for (int i = 0; i < 5000; ++i) input.push_back(static_cast<uint8_t>("lorem ipsum "[i % 12] + i / 700));
    std::vector<uint8_t> stored = EncodeResource(input);
    stored.resize(stored.size() / 2);
    EXPECT_EQ(Decode(stored, true).status, DecodeStatus::kTruncated);
    const DecodedResource lenient = Decode(stored, false);
    if (lenient.status == DecodeStatus::kOk) {
        EXPECT_EQ(lenient.size, input.size());
    } else {
        EXPECT_EQ(lenient.status, DecodeStatus::kCorrupt);
    }
}

TEST(CorruptStream, RandomStreamsEndCleanly) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> stored = Header(random() % 20000);
        stored.resize(4 + random() % 64);
        for (size_t i = 4; i < stored.size(); ++i) stored[i] = static_cast<uint8_t>(random());
        const DecodedResource decoded = Decode(stored, false);
        EXPECT_TRUE(decoded.status == DecodeStatus::kOk || decoded.status == DecodeStatus::kCorrupt);
    }
}

}  // namespace

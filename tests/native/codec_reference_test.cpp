// Streams from an independent encoder decode to its known output, also
// without their trailing zero bytes, which the decoder reads past the end.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "codec_test_support.h"

namespace {

using codec_test::Bytes;
using codec_test::Decode;

std::vector<uint8_t> ReadReference(const std::string& file) {
    std::ifstream in(std::string(TPP_CODEC_REFERENCE_DIR) + "/" + file, std::ios::binary);
    EXPECT_TRUE(in) << file;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CodecReference : public ::testing::TestWithParam<const char*> {};

TEST_P(CodecReference, FullAndShortStreamsGiveTheKnownBytes) {
    const std::string name = GetParam();
    const std::vector<uint8_t> expected = ReadReference(name + ".out");
    const std::vector<uint8_t> full = ReadReference(name + ".bin");
    const std::vector<uint8_t> shortened = ReadReference(name + ".short.bin");
    ASSERT_LT(shortened.size(), full.size());
    for (const auto* stored : {&full, &shortened}) {
        const DecodedResource decoded = Decode(*stored);
        ASSERT_EQ(decoded.status, DecodeStatus::kOk)
            << stored->size() << " bytes: " << DescribeDecodeStatus(decoded.status);
        EXPECT_EQ(Bytes(decoded), expected);
    }
}

// The decoder reads two bytes ahead of the last bit it resolves; a third
// missing byte takes away data.
TEST_P(CodecReference, StreamShorterThanItsLookaheadIsTruncated) {
    std::vector<uint8_t> stored = ReadReference(std::string(GetParam()) + ".bin");
    stored.resize(stored.size() - 3);
    EXPECT_EQ(Decode(stored).status, DecodeStatus::kTruncated);
}

INSTANTIATE_TEST_SUITE_P(Streams, CodecReference,
                         ::testing::Values("two_bytes", "long_run", "skewed", "cyrillic_text", "window_wrap"));

}  // namespace

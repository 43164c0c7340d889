// The stream base: state codes, the sticky out-of-memory code, and the
// bounded memory stream that reads zeros past its end.
#include <gtest/gtest.h>

#include <algorithm>

#include "dictionary/bit_input_stream.h"
#include "dictionary/input_stream.h"

namespace {

TEST(StreamState, OutOfMemoryStaysOnceSet) {
    MemoryInputStream stream(nullptr, 0);
    stream.SetState(StreamState::kIoError);
    stream.Clear();
    EXPECT_EQ(stream.State(), StreamState::kGood);
    stream.SetState(StreamState::kOutOfMemory);
    stream.SetState(StreamState::kIoError);
    stream.Clear();
    EXPECT_EQ(stream.State(), StreamState::kOutOfMemory);
}

TEST(MemoryInputStream, ReadsZerosPastTheEndAndCountsThem) {
    const uint8_t bytes[] = {1, 2, 3};
    MemoryInputStream stream(bytes, sizeof bytes);
    uint8_t out[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(stream.Read(out, 2), 2u);
    EXPECT_EQ(stream.Read(out + 2, 3), 3u);
    EXPECT_EQ(stream.Get(), 0);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], 0);
    EXPECT_EQ(stream.Overrun(), 3u);
    EXPECT_EQ(stream.State(), StreamState::kGood);
    EXPECT_EQ(stream.Read(nullptr, 4), 0u);
}

TEST(BitInputStream, LeastSignificantBitFirst) {
    const uint8_t bytes[] = {0b1000'0110, 0b0000'0001};
    MemoryInputStream source(bytes, sizeof bytes);
    BitInputStream bits(source);
    unsigned read[10];
    for (unsigned& bit : read) bit = bits.GetBit();
    const unsigned expected[10] = {0, 1, 1, 0, 0, 0, 0, 1, 1, 0};
    EXPECT_TRUE(std::equal(read, read + 10, expected));
}

}  // namespace

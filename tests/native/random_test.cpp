#include "overlay/random.h"

#include <gtest/gtest.h>

namespace {

class RandomTest : public ::testing::Test {
protected:
    uint32_t Random(uint32_t n) { return source.Random(n); }

    RandomSource source;  // as at library load
    uint32_t& randomState = source.randomState;
};

TEST_F(RandomTest, SequenceFromLoad) {
    EXPECT_EQ(Random(576), 463u);
    EXPECT_EQ(Random(768), 308u);
    EXPECT_EQ(Random(1), 0u);
    EXPECT_EQ(Random(1), 0u);
    EXPECT_EQ(Random(576), 545u);
    EXPECT_EQ(Random(768), 363u);
}

TEST_F(RandomTest, FirstValueUsesTheFeedbackConstant) {
    EXPECT_EQ(Random(768), 617u);
    EXPECT_EQ(randomState, 0xCDE2B5E2u);
}

TEST_F(RandomTest, ZeroAndOneStillAdvanceTheState) {
    EXPECT_EQ(Random(0), 0u);
    EXPECT_EQ(randomState, 0xCDE2B5E2u);
    EXPECT_EQ(Random(1), 0u);
    EXPECT_EQ(Random(1), 0u);
    EXPECT_EQ(Random(1), 0u);
    EXPECT_EQ(Random(576), 545u);  // the fifth value of the sequence
}

TEST_F(RandomTest, StaysInRangeAndNeverReachesZeroState) {
    for (uint32_t i = 0; i < 100000; ++i) {
        const uint32_t n = i * 2654435761u;
        const uint32_t value = Random(n);
        if (n > 0) {
            EXPECT_LT(value, n);
        }
        ASSERT_NE(randomState, 0u);
    }
    EXPECT_LT(Random(0xFFFFFFFFu), 0xFFFFFFFFu);
}

}  // namespace

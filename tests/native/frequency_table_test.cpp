// The model rules both coder sides share: start-up state, reordering,
// halving period and removal.
#include <gtest/gtest.h>

#include "dictionary/frequency_table.h"
#include "dictionary/lz_format.h"

namespace {

void ExpectConsistent(const FrequencyTable& table) {
    uint32_t sum = 0;
    for (unsigned p = table.Size(); p-- > 0;) {
        EXPECT_EQ(table.LowCount(p), sum) << "position " << p;
        sum += table.FrequencyAt(p);
        EXPECT_EQ(table.PositionOf(table.SymbolAt(p)), p);
        if (p > 0) {
            EXPECT_GE(table.FrequencyAt(p - 1), table.FrequencyAt(p));
        }
    }
    EXPECT_EQ(table.Total(), sum);
}

TEST(FrequencyTable, LiteralsStartWithNewByteThenMatchSymbol) {
    const FrequencyTable table = FrequencyTable::Literals();
    EXPECT_EQ(table.SymbolAt(0), lz::kNewByteSymbol);
    EXPECT_EQ(table.FrequencyAt(0), 4u);
    EXPECT_EQ(table.SymbolAt(1), lz::kMatchSymbol);
    EXPECT_EQ(table.FrequencyAt(1), 1u);
    EXPECT_EQ(table.SymbolAt(256), 1u);
    EXPECT_EQ(table.SymbolAt(257), 0u);
    EXPECT_EQ(table.Total(), 5u);
    EXPECT_EQ(table.CountUnused(256), 256u);
    ExpectConsistent(table);
}

TEST(FrequencyTable, UpdateMovesSymbolAheadOfItsEquals) {
    FrequencyTable table(5, 1);
    table.Update(table.PositionOf(3));
    EXPECT_EQ(table.SymbolAt(0), 3u);
    EXPECT_EQ(table.SymbolAt(3), 0u);
    EXPECT_EQ(table.FrequencyAt(0), 2u);
    EXPECT_EQ(table.Total(), 6u);
    ExpectConsistent(table);
}

TEST(FrequencyTable, FindPositionOwnsEachCount) {
    FrequencyTable table(4, 1);
    for (unsigned symbol : {2u, 2u, 1u}) table.Update(table.PositionOf(symbol));
    for (uint32_t t = 0; t < table.Total(); ++t) {
        const unsigned p = table.FindPosition(t);
        EXPECT_LE(table.LowCount(p), t);
        EXPECT_LT(t, table.HighCount(p));
    }
}

TEST(FrequencyTable, FlatTableHalvesOnItsHundredSixtyFirstUpdate) {
    FrequencyTable table(2, 1);
    for (int i = 0; i < 160; ++i) table.Update(table.PositionOf(0));
    EXPECT_EQ(table.Total(), 162u);
    table.Update(table.PositionOf(0));  // halves 161 and 1 first, then counts
    EXPECT_EQ(table.FrequencyAt(0), 81u + 1u);
    EXPECT_EQ(table.FrequencyAt(1), 1u);
    EXPECT_EQ(table.Total(), 83u);
    ExpectConsistent(table);
}

TEST(FrequencyTable, LiteralsHalveOnTheirHundredSixtiethUpdate) {
    FrequencyTable table = FrequencyTable::Literals();
    for (int i = 0; i < 159; ++i) table.Update(table.PositionOf(lz::kMatchSymbol));
    EXPECT_EQ(table.Total(), 5u + 159u);
    table.Update(table.PositionOf(lz::kMatchSymbol));
    // 160 and 4 halve to 80 and 2, then the match symbol counts once more.
    EXPECT_EQ(table.FrequencyAt(table.PositionOf(lz::kMatchSymbol)), 81u);
    EXPECT_EQ(table.FrequencyAt(table.PositionOf(lz::kNewByteSymbol)), 2u);
    EXPECT_EQ(table.Total(), 83u);
    ExpectConsistent(table);
}

TEST(FrequencyTable, RemoveSendsSymbolBehindUsedOnes) {
    FrequencyTable table(4, 0);
    for (unsigned symbol : {0u, 0u, 0u, 1u, 1u, 2u}) table.Update(table.PositionOf(symbol));
    table.Remove(0);
    EXPECT_EQ(table.FrequencyAt(table.PositionOf(0)), 0u);
    // The symbols behind it moved up one place and took that place's count.
    EXPECT_EQ(table.SymbolAt(0), 1u);
    EXPECT_EQ(table.FrequencyAt(0), 3u);
    EXPECT_EQ(table.SymbolAt(1), 2u);
    EXPECT_EQ(table.FrequencyAt(1), 2u);
    EXPECT_EQ(table.Total(), 5u);
    ExpectConsistent(table);
}

TEST(FrequencyTable, UnusedSymbolsCountInValueOrder) {
    FrequencyTable table = FrequencyTable::Literals();
    for (unsigned byte : {5u, 0u, 255u}) table.Update(table.PositionOf(byte));
    EXPECT_EQ(table.CountUnused(256), 253u);
    EXPECT_EQ(table.NthUnused(0, 256), 1u);
    EXPECT_EQ(table.NthUnused(4, 256), 6u);
    EXPECT_EQ(table.NthUnused(252, 256), 254u);
    EXPECT_EQ(table.CountUnused(6), 4u);  // 1, 2, 3, 4
}

}  // namespace

#include "tools/dicpack/lz_symbol_encoder.h"

#include <algorithm>

#include "dictionary/lz_format.h"

namespace {

template <class Table>
unsigned ClassOf(const Table& base, uint32_t value) {
    return static_cast<unsigned>(std::lower_bound(base.begin(), base.end(), value) - base.begin() - 1);
}

}  // namespace

unsigned LengthClass(uint32_t length) { return ClassOf(lz::lengthBase, length); }
unsigned DistanceClass(uint32_t distance) { return ClassOf(lz::distanceBase, distance); }

LzSymbolEncoder::LzSymbolEncoder()
    : literals_(FrequencyTable::Literals()), lengths_(lz::kLengthClasses, 1), distances_(lz::kDistanceClasses, 1) {}

void LzSymbolEncoder::EncodeSymbol(FrequencyTable& table, unsigned symbol) {
    const unsigned position = table.PositionOf(symbol);
    coder_.Encode(table.LowCount(position), table.HighCount(position), table.Total());
    table.Update(position);
}

void LzSymbolEncoder::Literal(uint8_t byte) {
    if (literals_.FrequencyAt(literals_.PositionOf(byte)) != 0) {
        EncodeSymbol(literals_, byte);
        return;
    }
    // A new byte value: its rank among the values not seen yet.
    EncodeSymbol(literals_, lz::kNewByteSymbol);
    const unsigned unused = literals_.CountUnused(256);
    coder_.EncodeUniform(literals_.CountUnused(byte), unused);
    if (unused == 1) literals_.Remove(lz::kNewByteSymbol);
    literals_.Update(literals_.PositionOf(byte));
}

void LzSymbolEncoder::Match(uint32_t length, uint32_t distance) {
    EncodeSymbol(literals_, lz::kMatchSymbol);
    const unsigned c = DistanceClass(distance);
    EncodeSymbol(distances_, c);
    coder_.EncodeUniform(distance - lz::distanceBase[c] - 1, lz::distanceBase[c + 1] - lz::distanceBase[c]);
    const unsigned d = LengthClass(length);
    EncodeSymbol(lengths_, d);
    coder_.EncodeUniform(length - lz::lengthBase[d] - 1, lz::lengthBase[d + 1] - lz::lengthBase[d]);
}

// The encoding twin of LzSymbolDecoder: literals and matches through the
// same three models, updated by the same rules.
#pragma once

#include <cstdint>
#include <vector>

#include "dictionary/frequency_table.h"
#include "tools/dicpack/arithmetic_encoder.h"

class LzSymbolEncoder {
public:
    LzSymbolEncoder();

    void Literal(uint8_t byte);
    // 2 <= length, 1 <= distance <= the window size.
    void Match(uint32_t length, uint32_t distance);
    std::vector<uint8_t> Finish() { return coder_.Finish(); }

private:
    void EncodeSymbol(FrequencyTable& table, unsigned symbol);

    ArithmeticEncoder coder_;
    FrequencyTable literals_;
    FrequencyTable lengths_;
    FrequencyTable distances_;
};

// The class of a match length or distance: class c holds the values
// base[c] + 1 .. base[c + 1].
unsigned LengthClass(uint32_t length);
unsigned DistanceClass(uint32_t distance);

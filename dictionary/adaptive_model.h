// A frequency table read through the arithmetic decoder.
#pragma once

#include "dictionary/arithmetic_decoder.h"
#include "dictionary/frequency_table.h"

class AdaptiveModel : public FrequencyTable {
public:
    AdaptiveModel(FrequencyTable table, ArithmeticDecoder& decoder)
        : FrequencyTable(std::move(table)), decoder_(decoder) {}

    // Decodes one symbol and counts it.
    unsigned DecodeSymbol();

private:
    ArithmeticDecoder& decoder_;
};

// Decodes literals and matches with three adaptive models over one
// arithmetic decoder.
#pragma once

#include "dictionary/adaptive_model.h"
#include "dictionary/arithmetic_decoder.h"
#include "dictionary/symbol_source.h"

class LzSymbolDecoder : public SymbolSource {
public:
    // Reads the coder's first 16 bits from source (borrowed).
    explicit LzSymbolDecoder(InputStream& source);

    unsigned NextLiteral() override;
    LzMatch NextMatch() override;

private:
    ArithmeticDecoder decoder_;
    AdaptiveModel literals_;
    AdaptiveModel lengths_;
    AdaptiveModel distances_;
};

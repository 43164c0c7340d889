#include "dictionary/lz_symbol_decoder.h"

#include "dictionary/lz_format.h"

LzSymbolDecoder::LzSymbolDecoder(InputStream& source)
    : decoder_(source),
      literals_(FrequencyTable::Literals(), decoder_),
      lengths_(FrequencyTable(lz::kLengthClasses, 1), decoder_),
      distances_(FrequencyTable(lz::kDistanceClasses, 1), decoder_) {}

unsigned LzSymbolDecoder::NextLiteral() {
    const unsigned symbol = literals_.DecodeSymbol();
    if (symbol != lz::kNewByteSymbol) return symbol;
    const unsigned unused = literals_.CountUnused(256);
    const uint32_t rank = decoder_.DecodeUniform(unused);
    if (unused == 1) literals_.Remove(lz::kNewByteSymbol);
    const unsigned byte = literals_.NthUnused(rank, 256);
    literals_.Update(literals_.PositionOf(byte));
    return byte;
}

LzMatch LzSymbolDecoder::NextMatch() {
    const unsigned c = distances_.DecodeSymbol();
    const uint32_t distance = lz::distanceBase[c] + 1 +
                              decoder_.DecodeUniform(lz::distanceBase[c + 1] - lz::distanceBase[c]);
    const unsigned d = lengths_.DecodeSymbol();
    const uint32_t length = lz::lengthBase[d] + 1 + decoder_.DecodeUniform(lz::lengthBase[d + 1] - lz::lengthBase[d]);
    return {length, distance};
}

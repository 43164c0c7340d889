#include "dictionary/adaptive_model.h"

unsigned AdaptiveModel::DecodeSymbol() {
    const unsigned position = FindPosition(decoder_.Target(Total()));
    decoder_.Narrow(LowCount(position), HighCount(position), Total());
    const unsigned symbol = SymbolAt(position);
    Update(position);
    return symbol;
}

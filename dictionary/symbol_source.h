// Where the window stream takes its literals and matches from.
#pragma once

#include <cstdint>

struct LzMatch {
    uint32_t length;
    uint32_t distance;
};

class SymbolSource {
public:
    virtual ~SymbolSource() = default;
    // A byte value 0 .. 255, or 256 when a match follows.
    virtual unsigned NextLiteral() = 0;
    virtual LzMatch NextMatch() = 0;
};

// The adaptive frequency model shared by the decoder and the packer: symbols
// kept in order of falling frequency, with the running sums the arithmetic
// coder needs. Both sides must apply exactly the same updates.
#pragma once

#include <cstdint>
#include <vector>

class FrequencyTable {
public:
    // Every frequency equal to initial (0 or 1), symbols in natural order.
    FrequencyTable(unsigned size, uint32_t initial);

    // The literal table as both sides start it: the new-byte symbol first
    // with frequency 4, the match symbol after it with 1, bytes unseen.
    static FrequencyTable Literals();

    unsigned Size() const { return static_cast<unsigned>(symbolAt_.size()); }
    unsigned SymbolAt(unsigned position) const { return symbolAt_[position]; }
    unsigned PositionOf(unsigned symbol) const { return positionOf_[symbol]; }
    uint32_t FrequencyAt(unsigned position) const { return freq_[position]; }
    uint32_t Total() const { return total_; }

    // Position p owns the counts LowCount(p) .. HighCount(p) - 1 of Total().
    uint32_t LowCount(unsigned position) const { return cumAbove_[position]; }
    uint32_t HighCount(unsigned position) const { return position == 0 ? total_ : cumAbove_[position - 1]; }
    // The position that owns count target (target < Total()).
    unsigned FindPosition(uint32_t target) const;

    // Counts one more occurrence of the symbol at the position, halving all
    // frequencies on every 161st call.
    void Update(unsigned position);
    // Takes the symbol out for good: it moves behind every used symbol and
    // its frequency becomes 0.
    void Remove(unsigned symbol);

    // Symbols below limit whose frequency is 0, and the n-th of them in
    // increasing order of value.
    unsigned CountUnused(unsigned limit) const;
    unsigned NthUnused(unsigned n, unsigned limit) const;

private:
    void SwapSymbols(unsigned a, unsigned b);
    void RecomputeSums();

    std::vector<uint16_t> symbolAt_;
    std::vector<uint16_t> positionOf_;
    std::vector<uint32_t> freq_;
    std::vector<uint32_t> cumAbove_;
    uint32_t total_ = 0;
    uint32_t updateCount_ = 0;
};

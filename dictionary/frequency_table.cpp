#include "dictionary/frequency_table.h"

#include <utility>

#include "dictionary/lz_format.h"

namespace {
constexpr uint32_t kHalvingPeriod = 160;
}

FrequencyTable::FrequencyTable(unsigned size, uint32_t initial)
    : symbolAt_(size), positionOf_(size), freq_(size, initial), cumAbove_(size) {
    for (unsigned i = 0; i < size; ++i) symbolAt_[i] = positionOf_[i] = static_cast<uint16_t>(i);
    RecomputeSums();
}

FrequencyTable FrequencyTable::Literals() {
    FrequencyTable table(lz::kLiteralSymbols, 0);
    table.SwapSymbols(0, table.PositionOf(lz::kNewByteSymbol));
    table.freq_[0] = 4;
    table.total_ = 4;
    table.Update(table.PositionOf(lz::kMatchSymbol));
    return table;
}

unsigned FrequencyTable::FindPosition(uint32_t target) const {
    unsigned lo = 0;
    unsigned hi = Size() - 1;
    while (lo < hi) {
        const unsigned mid = (lo + hi) / 2;
        if (target < cumAbove_[mid]) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

void FrequencyTable::Update(unsigned position) {
    if (updateCount_++ >= kHalvingPeriod) {
        updateCount_ = 0;
        for (uint32_t& f : freq_) f = (f + 1) / 2;
        RecomputeSums();
    }
    unsigned q = position;
    while (q > 0 && freq_[q - 1] == freq_[q]) --q;
    if (q != position) SwapSymbols(q, position);
    ++freq_[q];
    for (unsigned j = 0; j < q; ++j) ++cumAbove_[j];
    ++total_;
}

void FrequencyTable::Remove(unsigned symbol) {
    unsigned p = positionOf_[symbol];
    while (p + 1 < Size() && freq_[p + 1] != 0) {
        SwapSymbols(p, p + 1);
        ++p;
    }
    freq_[p] = 0;
    RecomputeSums();
}

unsigned FrequencyTable::CountUnused(unsigned limit) const {
    unsigned count = 0;
    for (unsigned s = 0; s < limit; ++s) count += freq_[positionOf_[s]] == 0 ? 1 : 0;
    return count;
}

unsigned FrequencyTable::NthUnused(unsigned n, unsigned limit) const {
    unsigned last = 0;
    for (unsigned s = 0; s < limit; ++s) {
        if (freq_[positionOf_[s]] != 0) continue;
        last = s;
        if (n-- == 0) break;
    }
    return last;
}

void FrequencyTable::SwapSymbols(unsigned a, unsigned b) {
    std::swap(symbolAt_[a], symbolAt_[b]);
    positionOf_[symbolAt_[a]] = static_cast<uint16_t>(a);
    positionOf_[symbolAt_[b]] = static_cast<uint16_t>(b);
}

void FrequencyTable::RecomputeSums() {
    uint32_t sum = 0;
    for (unsigned p = Size(); p-- > 0;) {
        cumAbove_[p] = sum;
        sum += freq_[p];
    }
    total_ = sum;
}

#include "platform/case_folding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/utf8.h"

namespace {

// Every stride-th code point from first to last folds to itself + delta.
struct FoldRun {
    char32_t first, last;
    uint8_t stride;
    int32_t delta;
};

constexpr FoldRun kFoldRuns[] = {
#include "case_folding_table.inc"
};

}  // namespace

char32_t SimpleCaseFold(char32_t c) {
    // The last run that starts at or before c.
    const FoldRun* run = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                                          [](char32_t value, const FoldRun& r) { return value < r.first; });
    if (run == std::begin(kFoldRuns)) return c;
    --run;
    if (c > run->last || (c - run->first) % run->stride != 0) return c;
    return static_cast<char32_t>(static_cast<int32_t>(c) + run->delta);
}

std::string FoldCase(std::string_view utf8) {
    std::string folded;
    folded.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const unsigned char byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            folded += static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
            ++pos;
            continue;
        }
        AppendUtf8(folded, SimpleCaseFold(DecodeUtf8(utf8, pos)));
    }
    return folded;
}

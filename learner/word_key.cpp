#include "learner/word_key.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace learner {

namespace {

// Every stride-th code point from first to last folds to itself + delta.
struct FoldRun {
    char32_t first, last;
    uint8_t stride;
    int32_t delta;
};

// Made at build time from Unicode's CaseFolding.txt by the dictionary's
// table maker, so that both layers fold alike without sharing code.
constexpr FoldRun kFoldRuns[] = {
#include "case_folding_table.inc"
};

char32_t Fold(char32_t c) {
    const FoldRun* run = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), c,
                                          [](char32_t value, const FoldRun& r) { return value < r.first; });
    if (run == std::begin(kFoldRuns)) return c;
    --run;
    if (c > run->last || (c - run->first) % run->stride != 0) return c;
    return static_cast<char32_t>(static_cast<int32_t>(c) + run->delta);
}

bool Blank(char32_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0xA0 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The code point at pos, pos moved past it; kNotUtf8, pos moved one byte,
// where no well-formed sequence starts.
char32_t Decode(std::string_view text, size_t& pos) {
    const auto lead = static_cast<uint8_t>(text[pos]);
    const int length = lead < 0x80                   ? 1
                       : lead >= 0xC2 && lead < 0xE0 ? 2
                       : lead >= 0xE0 && lead < 0xF0 ? 3
                       : lead >= 0xF0 && lead < 0xF5 ? 4
                                                     : 0;
    if (length == 0 || pos + static_cast<size_t>(length) > text.size()) {
        ++pos;
        return length == 1 ? lead : kNotUtf8;
    }
    char32_t c = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<uint8_t>(text[pos + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return kNotUtf8;
        }
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return kNotUtf8;
    }
    pos += static_cast<size_t>(length);
    return c;
}

void Encode(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string WordKey(std::string_view word) {
    std::string key;
    key.reserve(word.size());
    bool blank = false;
    for (size_t pos = 0; pos < word.size();) {
        const size_t start = pos;
        const char32_t c = Decode(word, pos);
        if (c != kNotUtf8 && Blank(c)) {
            blank = true;
            continue;
        }
        if (blank && !key.empty()) key += ' ';
        blank = false;
        if (c == kNotUtf8) {
            key += word[start];
        } else {
            Encode(key, Fold(c));
        }
    }
    return key;
}

}  // namespace learner

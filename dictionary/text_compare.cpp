#include "dictionary/text_compare.h"

#include <cstdint>

#include "platform/case_folding.h"
#include "platform/cp1251.h"
#include "platform/utf8.h"

namespace {

uint32_t FoldCp1251(uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return c + 0x20u;
    if (c == 0xA8) return 0xB8;  // Ё -> ё
    return c;
}

uint32_t SortKey(char32_t c) {
    uint8_t byte = 0;
    if (UnicodeToCp1251(c, byte)) return FoldCp1251(byte);
    return 0x100 + static_cast<uint32_t>(SimpleCaseFold(c));
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const auto x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[j]);
        uint32_t keyA, keyB;
        if (x < 0x80 && y < 0x80) {  // most of most lists: no decoding
            keyA = FoldCp1251(x), keyB = FoldCp1251(y);
            ++i, ++j;
        } else {
            keyA = SortKey(DecodeUtf8(a, i));
            keyB = SortKey(DecodeUtf8(b, j));
        }
        if (keyA != keyB) return keyA < keyB ? -1 : 1;
    }
    return (i < a.size()) - (j < b.size());
}

#include "dictionary/cp1251_compare.h"

namespace {

unsigned char FoldCase(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) return static_cast<unsigned char>(c + 0x20);
    if (c == 0xA8) return 0xB8;  // Ё -> ё
    return c;
}

}  // namespace

int CompareNoCase1251(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int x = FoldCase(static_cast<unsigned char>(a[i]));
        const int y = FoldCase(static_cast<unsigned char>(b[i]));
        if (x != y) return x - y;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

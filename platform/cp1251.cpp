#include "platform/cp1251.h"

#include <algorithm>
#include <array>

#include "platform/utf8.h"

namespace {

// 0x80..0xBF; from 0xC0 on the code page is the Cyrillic alphabet in order.
constexpr char16_t kUpperHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

constexpr char32_t kCyrillicA = 0x0410;  // А, byte 0xC0; я (0x44F) is 0xFF

struct Reverse {
    char16_t codePoint;
    uint8_t byte;
};

// The upper half by code point, for a binary search.
constexpr std::array<Reverse, 64> kUpperHalfByCodePoint = [] {
    std::array<Reverse, 64> table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = {kUpperHalf[i], static_cast<uint8_t>(0x80 + i)};
    std::sort(table.begin(), table.end(), [](Reverse a, Reverse b) { return a.codePoint < b.codePoint; });
    return table;
}();

}  // namespace

char32_t Cp1251ToUnicode(uint8_t byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return kCyrillicA + (byte - 0xC0);
    return kUpperHalf[byte - 0x80];
}

bool UnicodeToCp1251(char32_t c, uint8_t& byte) {
    if (c < 0x80) {
        byte = static_cast<uint8_t>(c);
        return true;
    }
    if (c >= kCyrillicA && c < kCyrillicA + 64) {
        byte = static_cast<uint8_t>(0xC0 + (c - kCyrillicA));
        return true;
    }
    const auto found = std::lower_bound(kUpperHalfByCodePoint.begin(), kUpperHalfByCodePoint.end(), c,
                                        [](Reverse entry, char32_t value) { return entry.codePoint < value; });
    if (found == kUpperHalfByCodePoint.end() || found->codePoint != c) return false;
    byte = found->byte;
    return true;
}

std::string Cp1251ToUtf8(const char* text) {
    if (!text) return "(null)";
    return DecodeCp1251(text);
}

std::string DecodeCp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char byte : text) AppendUtf8(out, Cp1251ToUnicode(static_cast<uint8_t>(byte)));
    return out;
}

size_t EncodeCp1251Replacing(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    size_t missing = 0;
    for (size_t pos = 0; pos < utf8.size();) {
        uint8_t byte = 0;
        if (!UnicodeToCp1251(DecodeUtf8(utf8, pos), byte)) {
            byte = '?';
            ++missing;
        }
        out += static_cast<char>(byte);
    }
    return missing;
}

bool EncodeCp1251(std::string_view utf8, std::string& out) { return EncodeCp1251Replacing(utf8, out) == 0; }

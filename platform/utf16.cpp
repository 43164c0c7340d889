#include "platform/utf16.h"

std::u16string Utf16FromBytes(std::string_view bytes, ByteOrder order) {
    const size_t high = order == ByteOrder::kBigEndian ? 0 : 1;
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        const auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[2 * i + at]); };
        units[i] = static_cast<char16_t>(byte(high) << 8 | byte(1 - high));
    }
    return units;
}

std::string Utf16ToBytes(std::u16string_view units, ByteOrder order) {
    const size_t high = order == ByteOrder::kBigEndian ? 0 : 1;
    std::string bytes(units.size() * 2, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i + high] = static_cast<char>(units[i] >> 8);
        bytes[2 * i + 1 - high] = static_cast<char>(units[i] & 0xFF);
    }
    return bytes;
}

bool IsWellFormedUtf16(std::u16string_view units) {
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit < 0xD800 || unit > 0xDFFF) continue;
        if (unit > 0xDBFF || i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
        ++i;
    }
    return true;
}

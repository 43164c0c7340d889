#include "settings/typed_value.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool IsWide(int32_t code) { return code == kTypeInt64 || code == kTypeUint64; }

// Hexadecimal digits up to the first non-digit, wrapping in 32 bits; the
// number of digits taken goes to count.
uint32_t ParseHex(const char* text, int& count) {
    uint32_t total = 0;
    for (count = 0; HexDigit(text[count]) >= 0; ++count)
        total = (total << 4) | static_cast<uint32_t>(HexDigit(text[count]));
    return total;
}

// What colour pickers and web pages give, besides the decimal that saves
// write: #RRGGBB, whose red comes first where a COLORREF has it last, and a
// COLORREF in hexadecimal, 0xBBGGRR.
uint64_t ParseColour(const char* text) {
    while (IsBlank(*text)) ++text;
    int digits = 0;
    if (text[0] == '#') {
        const uint32_t web = ParseHex(text + 1, digits);
        if (digits == 6) return SwapRedBlue(web);
    }
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return ParseHex(text + 2, digits);
    return ParseDecimal(text, false);
}

// Explorer's "Copy as path" puts a path in double quotes.
std::string Unquoted(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    if (first == std::string::npos || last == first || text[first] != '"' || text[last] != '"') return text;
    return text.substr(first + 1, last - first - 1);
}

}  // namespace

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsValidTypeCode(int32_t code) { return code >= kTypeByte && code <= kTypeText; }

uint64_t ParseDecimal(const char* text, bool wide) {
    const uint64_t mask = wide ? ~uint64_t{0} : uint64_t{0xFFFFFFFF};
    while (IsBlank(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    uint64_t total = 0;
    for (; *text >= '0' && *text <= '9'; ++text) total = (total * 10 + static_cast<uint64_t>(*text - '0')) & mask;
    if (negative) total = (~total + 1) & mask;
    return total;
}

void StoreTypedNumber(int32_t code, uint64_t value, void* field) {
    switch (code) {
        case kTypeByte: *static_cast<uint8_t*>(field) = static_cast<uint8_t>(value); break;
        case kTypeShort:
        case kTypeWord:
        case kTypeWordAlt: *static_cast<uint16_t*>(field) = static_cast<uint16_t>(value); break;
        case kTypeUint:
        case kTypeColour:
        case kTypeInt:
        case kTypeUintAlt:
        case kTypeLong:
        case kTypeDword: *static_cast<uint32_t*>(field) = static_cast<uint32_t>(value); break;
        case kTypeInt64:
        case kTypeUint64: *static_cast<uint64_t*>(field) = value; break;
        default: break;
    }
}

void ParseTypedValue(int32_t code, const std::string& text, void* field) {
    if (code == kTypeText) {
        *static_cast<std::string*>(field) = Unquoted(text);
        return;
    }
    if (code == kTypeColour)
        StoreTypedNumber(code, ParseColour(text.c_str()), field);
    else if (IsValidTypeCode(code))
        StoreTypedNumber(code, ParseDecimal(text.c_str(), IsWide(code)), field);
}

int64_t ReadTypedNumber(int32_t code, const void* field) {
    switch (code) {
        case kTypeByte: return *static_cast<const uint8_t*>(field);
        case kTypeShort: return *static_cast<const int16_t*>(field);
        case kTypeWord:
        case kTypeWordAlt: return *static_cast<const uint16_t*>(field);
        case kTypeUint:
        case kTypeColour:
        case kTypeUintAlt:
        case kTypeDword: return *static_cast<const uint32_t*>(field);
        case kTypeInt:
        case kTypeLong: return *static_cast<const int32_t*>(field);
        case kTypeInt64: return *static_cast<const int64_t*>(field);
        case kTypeUint64: return static_cast<int64_t>(*static_cast<const uint64_t*>(field));
        default: return 0;
    }
}

std::string FormatTypedValue(int32_t code, const void* field) {
    switch (code) {
        case kTypeByte: return std::to_string(unsigned{*static_cast<const uint8_t*>(field)});
        case kTypeShort: return std::to_string(int{*static_cast<const int16_t*>(field)});
        case kTypeWord:
        case kTypeWordAlt: return std::to_string(unsigned{*static_cast<const uint16_t*>(field)});
        case kTypeUint:
        case kTypeColour:
        case kTypeUintAlt:
        case kTypeDword: return std::to_string(*static_cast<const uint32_t*>(field));
        case kTypeInt:
        case kTypeLong: return std::to_string(*static_cast<const int32_t*>(field));
        case kTypeInt64: return std::to_string(static_cast<long long>(*static_cast<const int64_t*>(field)));
        case kTypeUint64: return std::to_string(static_cast<unsigned long long>(*static_cast<const uint64_t*>(field)));
        case kTypeText: {
            // A text that reading would take out of quotes goes in a pair
            // of its own, so that it reads back as it is.
            const std::string& text = *static_cast<const std::string*>(field);
            return Unquoted(text) == text ? text : '"' + text + '"';
        }
        default: return std::string();
    }
}

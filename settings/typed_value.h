// Text forms of setting values, chosen by type code. Every number is written
// decimal; parsing wraps like the 32- or 64-bit register it fills, so
// whatever was written reads back unchanged. A colour typed by hand may also
// be #RRGGBB or 0xBBGGRR, and a text may stand in double quotes.
#pragma once

#include <cstdint>
#include <string>

// Type codes as they stand in the settings table. Several codes behave
// alike; the table keeps them distinct.
enum TypeCode : int32_t {
    kTypeByte = 0,     // unsigned 8-bit
    kTypeShort = 1,    // signed 16-bit
    kTypeWord = 2,     // unsigned 16-bit
    kTypeWordAlt = 3,  // unsigned 16-bit
    kTypeUint = 4,     // unsigned 32-bit
    kTypeColour = 5,   // unsigned 32-bit (COLORREF)
    kTypeInt = 6,      // signed 32-bit
    kTypeUintAlt = 7,  // unsigned 32-bit
    kTypeLong = 8,     // signed 32-bit
    kTypeDword = 9,    // unsigned 32-bit
    kTypeInt64 = 10,   // signed 64-bit
    kTypeUint64 = 11,  // unsigned 64-bit
    kTypeText = 12,    // std::string
};

// Codes outside 0..12 are skipped by every reader and writer.
bool IsValidTypeCode(int32_t code);

// The value of a hexadecimal digit; -1 for any other character.
int HexDigit(char c);

// A COLORREF, 0x00BBGGRR, as the 0xRRGGBB of web pages and colour pickers,
// and back: red and blue change places.
constexpr uint32_t SwapRedBlue(uint32_t colour) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// Decimal text to number: leading white space, one optional sign, digits up
// to the first non-digit, wrapping in 32 bits (64 when wide). No digit: 0.
uint64_t ParseDecimal(const char* text, bool wide);

// Stores the value of text into the field of the given code. The field must
// have the code's type; an invalid code leaves it alone. A colour's "#RRGGBB"
// is a web colour and "0x" starts a hexadecimal COLORREF; a text's one pair
// of enclosing double quotes goes.
void ParseTypedValue(int32_t code, const std::string& text, void* field);

// Stores the low bits of a 64-bit value into a numeric field of the code.
void StoreTypedNumber(int32_t code, uint64_t value, void* field);

// The number in a numeric field of the code, signed codes sign-extended;
// 0 for text or an invalid code.
int64_t ReadTypedNumber(int32_t code, const void* field);

// The field's text form; empty for an invalid code. A text that stands in
// quotes of its own is written in one more pair.
std::string FormatTypedValue(int32_t code, const void* field);

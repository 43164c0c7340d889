// UTF-16 as a file holds it: code units as byte pairs, in either order.
// UTF-8 and UTF-16 text convert with Utf8ToUtf16 and Utf16ToUtf8.
#pragma once

#include <string>
#include <string_view>

enum class ByteOrder { kLittleEndian, kBigEndian };

// The code units of bytes. An odd last byte is no unit and is left out.
std::u16string Utf16FromBytes(std::string_view bytes, ByteOrder order);

std::string Utf16ToBytes(std::u16string_view units, ByteOrder order);

// True when every surrogate is half of a pair, high then low.
bool IsWellFormedUtf16(std::u16string_view units);

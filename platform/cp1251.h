// Windows-1251 and Unicode, by our own table, the same on every build: the
// plug-in's files, settings and built-in words are Windows-1251, its text
// inside is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The code point of one byte. 0x98, which the code page leaves out, is
// U+0098, as Windows' own conversion has it: every byte has a code point of
// its own, so any Windows-1251 text comes back byte for byte.
char32_t Cp1251ToUnicode(uint8_t byte);

// The byte of a code point; false when the code page lacks it.
bool UnicodeToCp1251(char32_t codePoint, uint8_t& byte);

// A NUL-terminated Windows-1251 text as UTF-8; "(null)" for none.
std::string Cp1251ToUtf8(const char* text);

// Windows-1251 bytes as UTF-8, NULs included.
std::string DecodeCp1251(std::string_view text);

// UTF-8 as Windows-1251 bytes, each character that the code page lacks as
// "?"; the number of those.
size_t EncodeCp1251Replacing(std::string_view utf8, std::string& out);

// The same; false when a character is missing from the code page.
bool EncodeCp1251(std::string_view utf8, std::string& out);

// Windows-1251 to Unicode, by our own table: the plug-in's text is
// Windows-1251 wherever it is drawn or printed.
#pragma once

#include <cstdint>
#include <string>

// The code point of one byte; U+FFFD for 0x98, which the code page leaves out.
char32_t Cp1251ToUnicode(uint8_t byte);

std::string Cp1251ToUtf8(const char* text);

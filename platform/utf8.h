// UTF-8, the plug-in's text inside: decoding and encoding code points,
// checking a file's bytes, and the UTF-16 of the wide-character API.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point that starts at pos; pos moves past it. A byte that does
// not begin a well-formed sequence (a stray continuation byte, a sequence
// cut short, overlong, a surrogate or above U+10FFFF) gives U+FFFD and
// moves pos by that one byte, so any bytes decode, the same way each time.
char32_t DecodeUtf8(std::string_view text, size_t& pos);

void AppendUtf8(std::string& out, char32_t codePoint);

// True when every byte belongs to a well-formed sequence.
bool IsValidUtf8(std::string_view text);

// To and from UTF-16; what UTF-8 cannot hold (a lone surrogate) and what
// is not well-formed becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

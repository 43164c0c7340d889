// How a word list's bytes are text. The file is Windows-1251 or UTF-8,
// with or without a byte-order mark; the list keeps the encoding it was
// read in and is written back in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class WordListEncoding { kWindows1251, kUtf8, kUtf8WithBom };

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Turns the lines of a file, as read and without their line ends, into
// UTF-8 in place, and says what they were. UTF-8 when the first line
// starts with the byte-order mark (which is dropped), or when every line
// is valid UTF-8 and some byte is above 0x7F; anything else is
// Windows-1251, read as it always was. Under the mark, a line that is not
// valid UTF-8 is taken as Windows-1251: a line added by a Windows-1251
// tool keeps its letters.
WordListEncoding DecodeWordList(std::vector<std::string>& lines);

// The lines as the file holds them, in encoding. A Windows-1251 list with
// a character that the code page lacks is written as UTF-8 with the
// byte-order mark instead, and encoding says so: nothing turns into "?".
// So is any list whose file would not read back as the same text.
std::vector<std::string> EncodeWordList(std::vector<std::string> lines, WordListEncoding& encoding);

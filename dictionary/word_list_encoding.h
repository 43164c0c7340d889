// How a word list's bytes are text. The file is UTF-16 under its byte-order
// mark, UTF-8 with or without its mark, or Windows-1251; the list keeps the
// encoding it was read in and is written back in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class WordListEncoding { kWindows1251, kUtf8, kUtf8WithBom, kUtf16LittleEndian, kUtf16BigEndian };

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Lines of one kind: how many, and the numbers (from 1) of the first few,
// enough for a message to point at.
struct LineNumbers {
    static constexpr size_t kNamed = 3;
    int32_t count = 0;
    std::vector<int32_t> first;  // at most kNamed, in file order

    void Add(int32_t line);
};

// What reading the text of a file found besides its lines: the encoding
// taken, and whatever the reader may need to hear of because it was a guess
// or did not read cleanly.
struct WordListDecoding {
    WordListEncoding encoding = WordListEncoding::kWindows1251;
    // Taken as Windows-1251 with bytes above 0x7F: perhaps not what the
    // file's writer meant. Plain ASCII reads the same either way.
    bool readAsWindows1251 = false;
    // UTF-8, with or without the mark: lines that are not UTF-8, read as
    // Windows-1251.
    LineNumbers windows1251Lines;
    // UTF-16: lines with a surrogate that is not half of a pair (it reads
    // as U+FFFD), and a last byte without its pair (left out).
    LineNumbers unpairedSurrogateLines;
    bool oddLastByte = false;
};

// Windows-1251 text seldom forms a valid UTF-8 sequence by chance (a
// capital letter followed by ё, №, « and the like), and each word that does
// has letters that form none. UTF-8 with a handful of stray lines has many
// valid sequences for each stray byte.
constexpr int64_t kValidPerBadByte = 2;

// The lines of a file's bytes as UTF-8, without their line ends. Lines end
// at LF with or without CR before it (in UTF-16, at those code units); a
// final line end adds no line.
//
// Which encoding: UTF-16 when the file starts with its byte-order mark, in
// the mark's byte order; UTF-8 when it starts with the UTF-8 mark, or when
// its multi-byte sequences are mostly valid: at least kValidPerBadByte
// well-formed sequences for each byte above 0x7F that starts none. Any
// other file, plain ASCII included, is Windows-1251. Marks are dropped. In
// a UTF-8 file a line that is not UTF-8 is taken as Windows-1251, so that a
// line a Windows-1251 tool added keeps its letters and one stray byte does
// not turn the rest into nonsense.
std::vector<std::string> DecodeWordList(std::string_view file, WordListDecoding& found);

// The file's bytes for the lines in encoding: its mark, then each line ended
// by CR LF. A list that the file would not give back as the same lines (a
// Windows-1251 one with a character the code page lacks, or whose bytes
// would read as another encoding; a UTF-8 one that starts with U+FEFF) is
// written as UTF-8 with the mark instead, and encoding says so: nothing
// turns into "?".
std::string EncodeWordList(const std::vector<std::string>& lines, WordListEncoding& encoding);

// The alternative dictionary: whole text lines of a *.dic file, kept sorted
// without regard to case, no two alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/word_list_encoding.h"
#include "platform/file.h"

struct AltDictionary {
    std::vector<std::string> lines;  // UTF-8, without line ends
    // Each line's place in the file as read, for an order that teaches a
    // list as its author ordered it; a line added since comes after them.
    // Meaningless unless there is one for each line.
    std::vector<int32_t> fileRanks;
    // The file's, so that a save keeps it; a new list is Windows-1251.
    WordListEncoding encoding = WordListEncoding::kWindows1251;

    int32_t count() const { return static_cast<int32_t>(lines.size()); }
};

// What reading a word list found besides its entries: the lines it left
// out, those it keeps that will show as one line, and the encoding it took
// with what did not read cleanly, for whoever can show a message about
// them.
struct WordListReport {
    int32_t skippedLines = 0;
    int32_t firstSkippedLine = 0;  // its number in the file, from 1; 0 when none
    LineNumbers unsplitLines;      // no separator (see FindEntrySeparator)
    WordListDecoding decoding;
};

// False for a line that cannot be a caption: nothing but blanks, or
// nothing but a separator's hyphen or dash between blanks.
bool CanBeCaption(std::string_view line);

// "N lines ... the first is line M" for a report that skipped any; empty
// when it skipped none.
std::string SkippedLinesMessage(const WordListReport& report);

// Everything a user should hear of a load, in clauses joined by "; ": the
// lines left out, those without a separator, a file read as Windows-1251
// (one that holds bytes above 0x7F), the lines of a UTF-8 file read as
// Windows-1251, a UTF-16 file's unpaired surrogates and odd last byte.
// Empty when the list read cleanly.
std::string WordListMessage(const WordListReport& report);

// Puts the text at its sorted place by binary search and returns the index
// where it now stands. A line equal to it without regard to case stays as it
// is, nothing is inserted, and its index is returned.
int32_t InsertAltEntry(AltDictionary& dictionary, const std::string& text);

// Removes the line at index; an index outside the list changes nothing.
void RemoveAltEntry(AltDictionary& dictionary, int32_t index);

// Reads the file into a fresh sorted list, in the encoding it finds (see
// DecodeWordList), and reports what it found; the first of lines equal
// without regard to case wins, lines that cannot be captions are left out
// and counted. Nothing when the file cannot be read (or is missing: nothing
// is created).
std::optional<WordListReport> ReadAltDictionaryFile(const std::string& path, AltDictionary& dictionary);

// Replaces the file with the lines in list order, each ended by CR LF (in
// UTF-16, its code units), in the list's encoding with its byte-order mark
// if it has one (see EncodeWordList), which it then sets to what was
// written. Fails, with the old file and the list as they were, when the
// file cannot be written.
platform::FileOutcome WriteAltDictionaryFile(const std::string& path, AltDictionary& dictionary);

// The alternative dictionary: whole text lines of a *.dic file, kept sorted
// without regard to case, no two alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AltDictionary {
    std::vector<std::string> lines;  // Windows-1251, without line ends

    int32_t count() const { return static_cast<int32_t>(lines.size()); }
};

// Puts the text at its sorted place by binary search and returns the index
// where it now stands. A line equal to it without regard to case stays as it
// is, nothing is inserted, and its index is returned.
int32_t InsertAltEntry(AltDictionary& dictionary, const std::string& text);

// Removes the line at index; an index outside the list changes nothing.
void RemoveAltEntry(AltDictionary& dictionary, int32_t index);

// Reads every line of the file into a fresh sorted list; the first of lines
// equal without regard to case wins. A missing file is created empty. False
// when the file cannot be opened for reading and writing.
bool ReadAltDictionaryFile(const std::string& path, AltDictionary& dictionary);

// Replaces the file with the lines in list order, each ended by CR LF. False,
// with the old file left as it was, when it cannot be written.
bool WriteAltDictionaryFile(const std::string& path, const std::vector<std::string>& lines);

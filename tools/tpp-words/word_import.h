// Imported notes as a word list's lines: each note's first field the word,
// its second the translation, "word - translation", as the project's
// lists are written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tpp-words/note_text.h"

// A note named in the report: where it is, and its word.
struct NamedNote {
    int32_t place = 0;
    std::string word;
};

struct ImportedList {
    std::vector<std::string> lines;
    // The words of the notes learnt: a card reviewed to kKnownInterval.
    std::vector<std::string> knownWords;
    int32_t htmlFields = 0;  // fields the HTML reduction changed
    // Fields of a text whose header says plain, kept as written though a
    // reduction would have changed them.
    int32_t plainHtmlLike = 0;
    std::vector<NamedNote> untranslated;  // left out
    std::vector<NamedNote> wordless;      // left out
    // Written, but a word list splits them inside the word.
    std::vector<NamedNote> separatorInWord;
};

// Three weeks: the interval a card program calls mature.
constexpr int64_t kKnownInterval = 21;

ImportedList MakeImportedList(const ImportedNotes& notes);

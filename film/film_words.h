// A film's words as a learner meets them: which the learner knows, which
// not, and which of those are worth teaching before they are spoken.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "subtitles/subtitle_lines.h"
#include "words/translator.h"

struct FilmWord {
    std::string word;  // the headword found (a lemma), else the word as folded
    int32_t count = 0;
    std::vector<int32_t> lines;  // the lines that hold it, each once, in order
    std::optional<Translation> translation;
    bool carriesLine = false;  // the only unknown word of some line
    bool chosen = false;       // worth teaching: translated, and recurring or carrying a line
};

struct FilmWords {
    int64_t running = 0;  // the film's words, counted as they come
    int64_t known = 0;    // of those, the ones known or common
    // The unknown words: neither marked known (in any list) nor common,
    // most frequent first, then by first line.
    std::vector<FilmWord> unknown;
    std::vector<int32_t> oneUnknownLines;  // the lines with exactly one unknown word
    // For each line, its unknown words (indexes into unknown), in order.
    std::vector<std::vector<int32_t>> unknownOfLine;
};

// The translator of a film's words (English) into the built-in
// dictionary's language (Russian): the word list's entries first, then
// builtin (may be null), then the dictd dictionaries installed for the
// pair (mueller7), with WordNet's lemmas.
std::unique_ptr<Translator> FilmTranslator(std::vector<std::pair<std::string, std::string>> listEntries,
                                           const BuiltinDictionary* builtin);
inline constexpr const char* kFilmLanguage = "en";

// Splits the lines into words (words/word_break) in the film's language
// and looks each up once. knownKeys: the store's known words, each as
// learner::WordKey makes it, sorted; a word is known when it or its
// headword is among them, or when the translator holds it common.
FilmWords AnalyseFilmWords(const std::vector<SubtitleLine>& lines, const Translator& translator,
                           const std::vector<std::string>& knownKeys, const std::string& language);

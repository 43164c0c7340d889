// tpp-words' command line: the command, its arguments, the store's path.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class WordsCommand { kHelp, kStats, kExport, kKnown, kReset, kImport, kFilm };

struct WordsOptions {
    WordsCommand command = WordsCommand::kHelp;
    std::string db;          // the store; empty: the default one
    std::string ankiFile;    // export
    bool all = false;        // export: every word seen
    std::string list;        // known, reset
    std::string word;        // known: one word only
    std::string input;       // import: the notes' file
    std::string output;      // import: the list written; "-": standard output
    bool known = false;      // import: mark the notes learnt known
    std::string film;        // film: a subtitle file, or a film with a text track
    bool json = false;       // film: as data
    std::string dictionary;  // film: a word list whose translations come first
};

// The options of args (without the program's name); nothing, with error,
// for a command line that asks for nothing sensible.
std::optional<WordsOptions> ParseWordsOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kWordsUsage;

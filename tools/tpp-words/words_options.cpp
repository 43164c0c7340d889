#include "tools/tpp-words/words_options.h"

const char* const kWordsUsage =
    "Usage: tpp-words [--db FILE] COMMAND [ARGUMENTS]\n"
    "The progress a viewer made with the tpp25frame element's captions.\n"
    "\n"
    "Commands:\n"
    "  stats                       each word list's words seen, known, due today and never seen\n"
    "  export --anki FILE [--all]  an Anki text import of the words marked again (--all: of every\n"
    "                              word seen), one card a word, its list's name as a tag; FILE -\n"
    "                              writes it to standard output. The store itself, its -wal, -shm\n"
    "                              and -queued files and any other SQLite file are refused\n"
    "  known LIST [WORD]           mark every word of LIST (a word list file or builtin) known,\n"
    "                              or WORD; a word known is known in every list\n"
    "  reset [LIST]                forget the progress of every list, or of LIST (a file or builtin)\n"
    "  import FILE -o LIST [--known]\n"
    "                              write a word list (UTF-8, \"word - translation\") of the notes\n"
    "                              of FILE: an Anki package (.apkg) or a TSV or CSV file (Anki's\n"
    "                              plain-text export too), each note's first field and second,\n"
    "                              HTML reduced to text; LIST - writes to standard output. The\n"
    "                              store and FILE are refused as LIST. --known: also mark known\n"
    "                              the notes whose cards have an interval of 21 days or more\n"
    "  film FILE [--json] [--anki OUT] [--dictionary LIST]\n"
    "                              a film's words (FILE: .srt, .ass, .ssa, .vtt, or a film with a\n"
    "                              text track): how many, the share known, the lines with one\n"
    "                              unknown word, the unknown words by count with translations;\n"
    "                              --json as data; --anki OUT the unknown words as cards with their\n"
    "                              line as a third field; LIST's translations come first\n"
    "\n"
    "Options:\n"
    "  --db FILE   the progress store (default $XDG_DATA_HOME/tpp25frame/progress.sqlite)\n"
    "  --help      this text\n"
    "  --          what follows is not an option (a word that starts with -)\n"
    "\n"
    "Exit status: 0 done, 1 failed (the store, a file, a word not in the list), 2 bad command line.\n";

namespace {

std::optional<WordsCommand> CommandNamed(const std::string& name) {
    if (name == "stats") return WordsCommand::kStats;
    if (name == "export") return WordsCommand::kExport;
    if (name == "known") return WordsCommand::kKnown;
    if (name == "reset") return WordsCommand::kReset;
    if (name == "import") return WordsCommand::kImport;
    if (name == "film") return WordsCommand::kFilm;
    return std::nullopt;
}

// The command's own words, checked against what it takes.
bool TakeArguments(WordsOptions& options, const std::vector<std::string>& words, std::string& error) {
    switch (options.command) {
        case WordsCommand::kStats:
            if (words.empty()) return true;
            break;
        case WordsCommand::kExport:
            if (options.ankiFile.empty()) {
                error = "export needs --anki FILE";
                return false;
            }
            if (words.empty()) return true;
            break;
        case WordsCommand::kKnown:
            if (words.empty()) {
                error = "known needs a word list: tpp-words known LIST [WORD]";
                return false;
            }
            if (words.size() <= 2) {
                options.list = words[0];
                if (words.size() == 2) options.word = words[1];
                return true;
            }
            break;
        case WordsCommand::kReset:
            if (words.size() <= 1) {
                if (!words.empty()) options.list = words[0];
                return true;
            }
            break;
        case WordsCommand::kImport:
            if (words.size() == 1 && !options.output.empty()) {
                options.input = words[0];
                if (options.known && options.output == "-") {
                    error = "--known needs -o LIST, a file: the marks are the list's";
                    return false;
                }
                return true;
            }
            if (words.empty() || options.output.empty()) {
                error = "import needs a file and a list: tpp-words import FILE -o LIST";
                return false;
            }
            break;
        case WordsCommand::kFilm:
            if (words.size() == 1) {
                options.film = words[0];
                return true;
            }
            if (words.empty()) {
                error = "film needs a subtitle file or a film: tpp-words film FILE";
                return false;
            }
            break;
        case WordsCommand::kHelp: return true;
    }
    error = "too many arguments for this command: " + words.back();
    return false;
}

}  // namespace

std::optional<WordsOptions> ParseWordsOptions(const std::vector<std::string>& args, std::string& error) {
    WordsOptions options;
    std::optional<WordsCommand> command;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--" && !optionsEnded) {
            optionsEnded = true;
        } else if (optionsEnded && command) {
            words.push_back(arg);
        } else if (optionsEnded) {
            command = CommandNamed(arg);
            if (!command) {
                error = "unknown command " + arg + " (stats, export, known, reset, import, film)";
                return std::nullopt;
            }
        } else if (arg == "--help" || arg == "-h") {
            return WordsOptions{};
        } else if (arg == "--db" || arg == "--anki" || arg == "-o" || arg == "--output" || arg == "--dictionary") {
            if (i + 1 == args.size() || args[i + 1].empty()) {
                error = arg + " needs a file";
                return std::nullopt;
            }
            (arg == "--db"           ? options.db
             : arg == "--anki"       ? options.ankiFile
             : arg == "--dictionary" ? options.dictionary
                                     : options.output) = args[++i];
        } else if (arg == "--all") {
            options.all = true;
        } else if (arg == "--known") {
            options.known = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (!command) {
            command = CommandNamed(arg);
            if (!command) {
                error = "unknown command " + arg + " (stats, export, known, reset, import, film)";
                return std::nullopt;
            }
        } else {
            words.push_back(arg);
        }
    }
    if (!command) {
        error = "no command given";
        return std::nullopt;
    }
    options.command = *command;
    const bool film = options.command == WordsCommand::kFilm;
    if ((options.all && options.command != WordsCommand::kExport) ||
        (!options.ankiFile.empty() && options.command != WordsCommand::kExport && !film)) {
        error = "--anki is for export and film, --all for export only";
        return std::nullopt;
    }
    if ((options.json || !options.dictionary.empty()) && !film) {
        error = "--json and --dictionary are for film only";
        return std::nullopt;
    }
    if ((!options.output.empty() || options.known) && options.command != WordsCommand::kImport) {
        error = "-o and --known are for import only";
        return std::nullopt;
    }
    if (!TakeArguments(options, words, error)) return std::nullopt;
    return options;
}

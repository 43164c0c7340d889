// tpp-words: the learner's progress from the command line (see kWordsUsage).
#include <cstdio>
#include <string>
#include <vector>

#include "tools/tpp-words/words_commands.h"
#include "tools/tpp-words/words_options.h"

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseWordsOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "tpp-words: %s\n%s", error.c_str(), kWordsUsage);
        return 2;
    }
    switch (options->command) {
        case WordsCommand::kHelp: std::fputs(kWordsUsage, stdout); return 0;
        case WordsCommand::kStats: return RunStats(*options);
        case WordsCommand::kExport: return RunExport(*options);
        case WordsCommand::kKnown: return RunKnown(*options);
        case WordsCommand::kReset: return RunReset(*options);
        case WordsCommand::kImport: return RunImport(*options);
        case WordsCommand::kFilm: return RunFilm(*options);
    }
    return 2;
}

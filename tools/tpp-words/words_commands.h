// tpp-words' commands, each on the store its options name; each says what
// it did on standard output, why it failed on standard error, and returns
// the exit status.
#pragma once

#include "tools/tpp-words/words_options.h"

int RunStats(const WordsOptions& options);
int RunExport(const WordsOptions& options);
int RunKnown(const WordsOptions& options);
int RunReset(const WordsOptions& options);
int RunImport(const WordsOptions& options);
// A film's words: words_film.cpp.
int RunFilm(const WordsOptions& options);

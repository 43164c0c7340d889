// Cards as Anki's text import reads them: UTF-8, tab-separated, with the
// file headers that tell Anki the separator, that fields are plain text,
// the note type, the deck, the columns and the tags.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "learner/progress_report.h"

// A field as Anki reads it back: one with a tab, a line break or a quote,
// or starting with "#" (a comment at a line's start), goes in quotes, each
// quote doubled.
std::string AnkiField(std::string_view text);

// A list's tag: its file's name without the extension ("builtin" for the
// built-in list), blanks made "_", since a tag ends at a blank.
std::string AnkiTag(std::string_view list);

// A list's deck: its file's name without the extension under "tpp25frame::"
// ("tpp25frame::builtin"), control characters made spaces.
std::string AnkiDeck(std::string_view list);

// The whole file, each line ended by LF: headers, then one note a card.
// Anki's Basic note type takes the word as its Front and the translation
// as its Back; the third column holds the list's tag. Cards with a
// sentence (a film's line) have it as a third field, Sentence, before the
// tag, in every note of the file: Basic has no such field, so Anki fills
// it only in a note type that has one (or as the import dialog maps it).
// The cards of one
// list go to its deck, named by #deck:; those of several lists each to
// its own, named by a fourth column (#deck column:), since #deck: names
// one deck for the whole file.
std::string AnkiFile(const std::vector<learner::CardEntry>& cards);

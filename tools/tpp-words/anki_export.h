// Cards as Anki's text import reads them: UTF-8, tab-separated, with the
// file headers that tell Anki the separator, that fields are plain text,
// the columns and the tags.
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

// The whole file: headers, then one note a card (word, translation, the
// list's tag), each line ended by LF.
std::string AnkiFile(const std::vector<learner::CardEntry>& cards);

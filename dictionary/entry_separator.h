// A word list's line is a word and its translation around a separator:
// " - ", " – " (en dash), " — " (em dash) or a tab. Lists come typed by
// hand, from word processors that turn the hyphen into a dash, in Russian
// typography's em dash, and as tab-separated exports of flash-card decks.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

struct EntrySeparator {
    size_t at = 0;      // its first byte
    size_t length = 0;  // its bytes, blanks included
};

// The line's first separator, whichever kind it is: a translation may
// then hold any of them itself (a dash inside a Russian sentence, a
// hyphen between senses). None when the line holds none.
std::optional<EntrySeparator> FindEntrySeparator(std::string_view line);

struct EntryParts {
    std::string_view word;
    std::string_view translation;  // empty when the line has no separator
};

// The line split at FindEntrySeparator; a line without one is all word.
EntryParts SplitEntry(std::string_view line);

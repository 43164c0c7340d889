// Unicode's simple case folding (CaseFolding.txt, statuses C and S): one
// code point for another, the same on every build, from a table made at
// build time.
#pragma once

#include <string>
#include <string_view>

// The folded form of a code point; itself when it has none.
char32_t SimpleCaseFold(char32_t codePoint);
// A UTF-8 text folded code point by code point, the key words are looked
// up by ("Lighthouse", "LIGHTHOUSE" and "lighthouse" alike); a byte that
// starts no sequence folds as U+FFFD.
std::string FoldCase(std::string_view utf8);
